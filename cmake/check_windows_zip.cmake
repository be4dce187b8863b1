# Fails when the zip lacks what a Windows player needs or a licence notice of
# what the program links, when it holds what a save cut short left, when its
# readme, launchers or licence index have other than Windows line ends, or
# when the program holds the path of the source folder.
# cmake -DPACKAGE=<folder the zip was packed from> -DZIP=<zip> -DSOURCE=<repository>
#       -DAR=<archiver> -DFREETYPE=<libfreetype.a linked> -P check_windows_zip.cmake
cmake_minimum_required(VERSION 3.25)
set(texts README.txt Play.cmd Server.cmd "Play with own server.cmd")
set(required voidlance.exe ${texts}
  build/assets/fonts/LatoLatin-Regular.ttf build/assets/fonts/NotoEmoji-Regular.ttf)
foreach(page admin_menu ship_editor mount_editor projectile_editor)
  list(APPEND required build/assets/ui/pages/${page}/${page}.rml)
endforeach()

set(variants)
foreach(ship frigate_one frigate_two frigate_three frigate_four destroyer_one destroyer_two
             destroyer_three cruiser_one cruiser_two cruiser_three battleship_one battleship_two)
  list(APPEND variants ships/${ship})
endforeach()
foreach(size small medium large)
  foreach(number one two three)
    list(APPEND variants mounts/mount_${size}_${number} projectiles/projectile_${size}_${number})
  endforeach()
endforeach()
foreach(variant IN LISTS variants)
  get_filename_component(name ${variant} NAME)
  # The editors save the source copy first and stop when it cannot be written.
  list(APPEND required src/assets/${variant}/${name}.json
                       build/assets/${variant}/${name}.json build/assets/${variant}/${name}.png)
endforeach()

foreach(license SDL3 SDL3_image SDL3_ttf FreeType FreeType-FTL FreeType-GPLv2 libpng ENet pugixml
                zlib spdlog fmt nlohmann-json MinGW-w64-runtime-and-winpthreads
                GCC-runtime-library-exception Lato-font Noto-Color-Emoji-font README)
  list(APPEND required licenses/${license}.txt)
endforeach()

# Every object of FreeType's archive, and the notice its sources carry besides
# FreeType's licences; an object not named here fails the check until the
# notices of its sources are known and shipped.
set(freetype_objects
  "ftbase|FreeType-fthash.txt" # the hash functions of src/base/fthash.c
  ftbbox ftbdf ftbitmap ftcid ftfstype ftgasp ftglyph ftgxval ftinit ftmm ftotval ftpatent
  ftpfr ftstroke ftsynth fttype1 ftwinfnt ftsystem ftdebug ftver truetype sfnt smooth ftgzip)
execute_process(COMMAND ${AR} t ${FREETYPE}
                OUTPUT_VARIABLE members RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT members)
  message(FATAL_ERROR "could not list the objects of ${FREETYPE}")
endif()
string(REGEX REPLACE "\\.[^\n]*" "" members "${members}")
string(STRIP "${members}" members)
string(REPLACE "\n" ";" members "${members}")
foreach(member IN LISTS members)
  set(known ${freetype_objects})
  list(FILTER known INCLUDE REGEX "^${member}(\\|.*)?$")
  if(NOT known)
    message(FATAL_ERROR "${FREETYPE} holds ${member}, whose licence notices this check "
                        "does not know: ship them in licenses/ and name them here")
  endif()
  if(known MATCHES "\\|(.+)$")
    list(APPEND required licenses/${CMAKE_MATCH_1})
  endif()
endforeach()
# The licence texts those refer to, and the GPL version 3 that the GCC runtime
# library exception adds to.
include(${CMAKE_CURRENT_LIST_DIR}/common_licenses.cmake)
common_licenses_referred(${PACKAGE}/licenses referred)
foreach(name IN LISTS referred ITEMS GPL-3)
  list(APPEND required licenses/common-licenses/${name}.txt)
endforeach()

execute_process(COMMAND ${CMAKE_COMMAND} -E tar tf ${ZIP}
                OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "could not list ${ZIP}")
endif()
string(REPLACE "\n" ";" listing "${listing}")
set(missing)
foreach(entry IN LISTS required)
  if(NOT entry IN_LIST listing)
    list(APPEND missing "${entry}")
  endif()
endforeach()
if(missing)
  list(JOIN missing "\n  " missing)
  message(FATAL_ERROR "${ZIP} lacks:\n  ${missing}")
endif()
# Nor what a save cut short leaves beside either copy: packing leaves it out.
set(leftovers ${listing})
list(FILTER leftovers INCLUDE REGEX "^(src|build)/assets/.*\\.json\\.(src|build|old)\\.tmp$")
if(leftovers)
  list(JOIN leftovers "\n  " leftovers)
  message(FATAL_ERROR "${ZIP} holds what a save cut short left:\n  ${leftovers}")
endif()

# Each name of a file that the licence texts refer to has its line in the
# index, licenses/README.txt: "  <name>: <file in licenses/>" or, for a part
# the program does not hold, "  <name>: none, <why>".
licence_names_referred(${PACKAGE}/licenses names)
# The names are found only as FreeType writes them, in quotes: its texts that
# name files of its source tree would pass unchecked once written otherwise.
foreach(text FreeType.txt FreeType-FTL.txt)
  licence_names_referred(${PACKAGE}/licenses referred_here ${text})
  if(NOT referred_here)
    message(FATAL_ERROR "licenses/${text} in ${ZIP} refers to no file name that this check "
                        "finds (in backticks or double quotes); it names them otherwise now: "
                        "find them in licence_names_referred (cmake/common_licenses.cmake)")
  endif()
endforeach()
file(STRINGS ${PACKAGE}/licenses/README.txt index)
foreach(name IN LISTS names)
  set(entry)
  foreach(line IN LISTS index)
    string(FIND "${line}" "  ${name}: " at)
    if(at EQUAL 0)
      set(entry "${line}")
      break()
    endif()
  endforeach()
  if(NOT entry)
    message(FATAL_ERROR "licenses/README.txt in ${ZIP} does not say where ${name} is")
  endif()
  string(LENGTH "  ${name}: " length)
  string(SUBSTRING "${entry}" ${length} -1 holder)
  string(REGEX REPLACE "[ ,].*" "" holder "${holder}")
  if(NOT holder STREQUAL "none" AND NOT "licenses/${holder}" IN_LIST listing)
    message(FATAL_ERROR "licenses/README.txt in ${ZIP} finds ${name} in ${holder}, "
                        "which the zip lacks")
  endif()
endforeach()

# The file names in the log macros, mapped away at compile time (CMakeLists.txt).
string(REGEX REPLACE "[][.*+?^$()|\\]" "\\\\\\0" source_pattern "${SOURCE}/")
file(STRINGS ${PACKAGE}/voidlance.exe paths REGEX "${source_pattern}")
if(paths)
  message(FATAL_ERROR "voidlance.exe in ${ZIP} holds the source folder path: ${paths}")
endif()

# Read as bytes: file(READ) as text drops carriage returns.
foreach(name IN LISTS texts ITEMS licenses/README.txt)
  file(READ ${PACKAGE}/${name} bytes HEX)
  string(REGEX REPLACE "(..)" "\\1 " bytes "${bytes}")
  string(REPLACE "0d 0a " "" bytes "${bytes}")
  string(FIND "${bytes}" "0a " bare_line_feed)
  if(NOT bare_line_feed EQUAL -1)
    message(FATAL_ERROR "${name} in ${ZIP} has Unix line ends")
  endif()
  string(FIND "${bytes}" "0d " bare_carriage_return)
  if(NOT bare_carriage_return EQUAL -1)
    message(FATAL_ERROR "${name} in ${ZIP} has a carriage return outside a Windows line end")
  endif()
endforeach()
