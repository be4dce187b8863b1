# Sourced by the setup scripts. JOBS, a count, limits the parallel jobs of the
# library builds: build_jobs holds the build tool's option for it, nothing
# without JOBS (the build tool then picks, which is every processor).
build_jobs=()
if [ -n "${JOBS:-}" ]; then
  if ! [[ $JOBS =~ ^[0-9]*[1-9][0-9]*$ ]]; then
    echo "$(basename "$0"): JOBS takes a whole number of at least 1, such as JOBS=4, not '$JOBS'" >&2
    exit 1
  fi
  build_jobs=(-j "$JOBS")
fi
