# Fails when the zip lacks what a Windows player needs, or when its readme or
# launchers have other than Windows line ends.
# cmake -DPACKAGE=<folder the zip was packed from> -DZIP=<zip> -P check_windows_zip.cmake
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

foreach(license SDL3 SDL3_image SDL3_ttf FreeType FreeType-FTL libpng ENet pugixml zlib spdlog
                fmt nlohmann-json MinGW-w64-runtime-and-winpthreads GCC-runtime-library-exception
                Lato-font Noto-Color-Emoji-font)
  list(APPEND required licenses/${license}.txt)
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

# Read as bytes: file(READ) as text drops carriage returns.
foreach(name IN LISTS texts)
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
