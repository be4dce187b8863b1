# Mirrors src/assets into build/assets, adds the user-interface documents and
# the two fonts from the Debian font packages.
#
# A file of src/assets is copied only when its build copy is missing or not
# newer, as make would: every message about a bad file names the build copy,
# so that is where a person mends it, and the next build must not undo that.
# A newer build copy that differs is kept, with one line saying what to do;
# one that is the same, as a copy or an editor's save leaves it, is left alone.
# The new and kept files of a save cut short are no configuration: the next
# save of their record removes them.
file(MAKE_DIRECTORY ${OUT})
if(EXISTS ${SRC}/src/assets)
  file(GLOB_RECURSE sources RELATIVE ${SRC}/src/assets ${SRC}/src/assets/*)
  foreach(name IN LISTS sources)
    if(name MATCHES "\\.json\\.(src|build|old)\\.tmp$")
      continue()
    endif()
    set(from ${SRC}/src/assets/${name})
    set(to ${OUT}/${name})
    if(EXISTS ${to} AND NOT ${from} IS_NEWER_THAN ${to})
      file(SHA256 ${from} from_hash)
      file(SHA256 ${to} to_hash)
      if(NOT from_hash STREQUAL to_hash)
        file(RELATIVE_PATH shown_to ${SRC} ${to})
        message("${shown_to} is newer than src/assets/${name} and differs, so it is kept; "
                "copy it to src/assets/${name} to keep the change, or delete it to take the source's")
      endif()
      continue()
    endif()
    get_filename_component(folder ${to} DIRECTORY)
    file(MAKE_DIRECTORY ${folder})
    file(COPY_FILE ${from} ${to})
  endforeach()
endif()
if(EXISTS ${SRC}/src/client/ui/pages)
  file(COPY ${SRC}/src/client/ui/pages/ DESTINATION ${OUT}/ui/pages
       FILES_MATCHING PATTERN "*.rml" PATTERN "*.rcss")
endif()
set(fonts ${OUT}/fonts)
file(MAKE_DIRECTORY ${fonts})
foreach(pair "/usr/share/fonts/truetype/lato/Lato-Regular.ttf=LatoLatin-Regular.ttf"
             "/usr/share/fonts/truetype/noto/NotoColorEmoji.ttf=NotoEmoji-Regular.ttf")
  string(REPLACE "=" ";" parts ${pair})
  list(GET parts 0 from)
  list(GET parts 1 to)
  if(EXISTS ${from})
    file(COPY_FILE ${from} ${fonts}/${to} ONLY_IF_DIFFERENT)
  else()
    message(WARNING "font ${from} is missing; run scripts/setup")
  endif()
endforeach()
