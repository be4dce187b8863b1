# Fills the package folder, which holds voidlance.exe already, and zips it.
# cmake -DSOURCE=<repository> -DASSETS=<build/assets> -DPREFIX=<Windows libraries>
#       -DPACKAGE=<folder> -DZIP=<zip> -P pack_windows_zip.cmake
cmake_minimum_required(VERSION 3.25)
# Without the files a save cut short may have left beside a build copy.
file(COPY ${ASSETS}/ DESTINATION ${PACKAGE}/build/assets PATTERN "*.json.*.tmp" EXCLUDE)
file(COPY ${SOURCE}/src/assets/ DESTINATION ${PACKAGE}/src/assets FILES_MATCHING PATTERN "*.json")

# The readme and the launchers, with Windows line ends: only a bare line feed
# gains a carriage return, so a checkout that has Windows line ends already
# keeps them as they are.
set(windows_texts ${SOURCE}/packaging/windows)
file(GLOB texts RELATIVE ${windows_texts} ${windows_texts}/*)
foreach(name IN LISTS texts)
  file(READ ${windows_texts}/${name} text)
  string(REGEX REPLACE "\r?\n" "\r\n" text "${text}")
  file(WRITE ${PACKAGE}/${name} "${text}")
endforeach()

# Licence texts of everything the program links and the fonts: the libraries
# built by scripts/setup-windows keep theirs in the prefix, the rest come from
# Debian's copyright files, and the GCC runtime library exception is cut out
# of GCC's.
set(built ${PREFIX}/share/licenses)
set(debian /usr/share/doc)
set(licenses
  "SDL3.txt|${built}/SDL3/LICENSE.txt"
  "SDL3_image.txt|${built}/SDL3_image/LICENSE.txt"
  "SDL3_ttf.txt|${built}/SDL3_ttf/LICENSE.txt"
  "FreeType.txt|${built}/freetype/LICENSE.TXT"
  "FreeType-FTL.txt|${built}/freetype/FTL.TXT"
  "FreeType-GPLv2.txt|${built}/freetype/GPLv2.TXT"
  "FreeType-fthash.txt|${built}/freetype/fthash.txt"
  "libpng.txt|${built}/libpng/LICENSE"
  "ENet.txt|${built}/enet/LICENSE"
  "pugixml.txt|${built}/pugixml/LICENSE.md"
  "zlib.txt|${debian}/libz-mingw-w64-dev/copyright"
  "spdlog.txt|${debian}/libspdlog-dev/copyright"
  "fmt.txt|${debian}/libfmt-dev/copyright"
  "nlohmann-json.txt|${debian}/nlohmann-json3-dev/copyright"
  "MinGW-w64-runtime-and-winpthreads.txt|${debian}/mingw-w64-x86-64-dev/copyright"
  "Lato-font.txt|${debian}/fonts-lato/copyright"
  "Noto-Color-Emoji-font.txt|${debian}/fonts-noto-color-emoji/copyright")
file(MAKE_DIRECTORY ${PACKAGE}/licenses)
foreach(pair IN LISTS licenses)
  string(REPLACE "|" ";" parts "${pair}")
  list(GET parts 0 to)
  list(GET parts 1 from)
  if(NOT EXISTS ${from})
    message(FATAL_ERROR "licence text ${from} is missing; run scripts/setup-windows")
  endif()
  file(COPY_FILE ${from} ${PACKAGE}/licenses/${to})
endforeach()

set(gcc_copyright ${debian}/gcc-mingw-w64-base/copyright)
file(READ ${gcc_copyright} text)
string(FIND "${text}" "GCC RUNTIME LIBRARY EXCEPTION" start)
set(last_line "requirements of the license of GCC.\n")
string(FIND "${text}" "${last_line}" end)
if(start EQUAL -1 OR end LESS start)
  message(FATAL_ERROR "found no GCC runtime library exception in ${gcc_copyright}")
endif()
string(LENGTH "${last_line}" length)
math(EXPR length "${end} + ${length} - ${start}")
string(SUBSTRING "${text}" ${start} ${length} text)
file(WRITE ${PACKAGE}/licenses/GCC-runtime-library-exception.txt "${text}")

# Debian's copyright files name licence texts that only a Debian system has;
# the zip carries each as licenses/common-licenses/<name>.txt. The exception
# adds to GPL version 3.
include(${CMAKE_CURRENT_LIST_DIR}/common_licenses.cmake)
common_licenses_referred(${PACKAGE}/licenses referred)
list(APPEND referred GPL-3)
list(REMOVE_DUPLICATES referred)
file(MAKE_DIRECTORY ${PACKAGE}/licenses/common-licenses)
foreach(name IN LISTS referred)
  set(from /usr/share/common-licenses/${name})
  if(NOT EXISTS ${from})
    message(FATAL_ERROR "licence text ${from} is missing")
  endif()
  file(COPY_FILE ${from} ${PACKAGE}/licenses/common-licenses/${name}.txt)
endforeach()

# The index of the names those texts refer to (check_windows_zip.cmake finds
# them): the file here that holds each, or why none is needed. FreeType's
# texts name files of its source tree; the BDF and PCF drivers and the
# auto-hinter are not built (scripts/setup-windows).
set(index "Where the files that the licence texts here refer to are found: each
name as a text gives it, then the file in this folder that holds it, or
\"none\" and why none is needed.

FreeType.txt and FreeType-FTL.txt:
  LICENSE.TXT: FreeType.txt
  docs/FTL.TXT: FreeType-FTL.txt
  FTL.TXT: FreeType-FTL.txt
  docs/GPLv2.TXT: FreeType-GPLv2.txt
  src/base/fthash.c: FreeType-fthash.txt
  include/freetype/internal/fthash.h: FreeType-fthash.txt
  src/gzip/zlib.h: zlib.txt (FreeType is built with that zlib, not its own copy)
  src/bdf/README: none, the BDF driver is not built into voidlance.exe
  src/pcf/README: none, the PCF driver is not built into voidlance.exe
  src/autofit/ft-hb.c: none, the auto-hinter is not built into voidlance.exe
  src/autofit/ft-hb.h: none, the auto-hinter is not built into voidlance.exe
  hb-ft.cc: none, HarfBuzz's file behind the two above

Debian's copyright files, and the GCC Runtime Library Exception, which adds
to the GPL version 3:
")
foreach(name IN LISTS referred)
  string(APPEND index "  /usr/share/common-licenses/${name}: common-licenses/${name}.txt\n")
endforeach()
string(REPLACE "\n" "\r\n" index "${index}")
file(WRITE ${PACKAGE}/licenses/README.txt "${index}")

file(GLOB entries RELATIVE ${PACKAGE} ${PACKAGE}/*)
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${ZIP} --format=zip ${entries}
                WORKING_DIRECTORY ${PACKAGE} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "could not pack ${ZIP}")
endif()
