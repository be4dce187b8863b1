# Mirrors src/assets into build/assets, adds the user-interface documents and
# the two fonts from the Debian font packages.
file(MAKE_DIRECTORY ${OUT})
if(EXISTS ${SRC}/src/assets)
  file(COPY ${SRC}/src/assets/ DESTINATION ${OUT})
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
