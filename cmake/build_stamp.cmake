# Writes the build stamp source: the UTC time of this build.
string(TIMESTAMP stamp "%Y-%m-%dT%H:%M:%SZ" UTC)
file(WRITE ${OUT}.tmp "#include \"src/build_stamp.h\"\nconst char* const build_stamp = \"${stamp}\";\n")
file(COPY_FILE ${OUT}.tmp ${OUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUT}.tmp)
