# licence_text_matches(<folder> <regex> <variable> [<texts>]): every match of
# <regex> in the licence texts of <folder>, its .txt files but README.txt, the
# index of the names they refer to; or in those of them that the glob <texts>
# names.
function(licence_text_matches folder regex variable)
  set(pattern *.txt)
  if(ARGC GREATER 3)
    set(pattern ${ARGV3})
  endif()
  file(GLOB texts ${folder}/${pattern})
  list(FILTER texts EXCLUDE REGEX "/README\\.txt$")
  set(matches)
  foreach(text_file IN LISTS texts)
    file(READ ${text_file} text)
    string(REGEX MATCHALL "${regex}" found "${text}")
    list(APPEND matches ${found})
  endforeach()
  set(${variable} ${matches} PARENT_SCOPE)
endfunction()

# common_licenses_referred(<folder> <variable> [<texts>]): the names of the
# licence texts that the texts in <folder> (those <texts> names) refer to as
# /usr/share/common-licenses/<name>.
function(common_licenses_referred folder variable)
  licence_text_matches(${folder} "/usr/share/common-licenses/[A-Za-z0-9.+-]+" paths ${ARGN})
  set(names)
  foreach(path IN LISTS paths)
    # A sentence may end right after the name.
    string(REGEX REPLACE "^/usr/share/common-licenses/(.*[^.])\\.*$" "\\1" name "${path}")
    list(APPEND names ${name})
  endforeach()
  list(REMOVE_DUPLICATES names)
  set(${variable} ${names} PARENT_SCOPE)
endfunction()

# licence_names_referred(<folder> <variable> [<texts>]): every name of a file
# that the texts in <folder> (those <texts> names) refer to: the
# /usr/share/common-licenses paths, and the names in quotes (`name`, `name' or
# "name") that have a folder or an extension, as FreeType's texts name the
# files of its source tree.
function(licence_names_referred folder variable)
  common_licenses_referred(${folder} common ${ARGN})
  list(TRANSFORM common PREPEND /usr/share/common-licenses/)
  licence_text_matches(${folder} "[`\"][A-Za-z0-9_./+-]+[`'\"]" quoted ${ARGN})
  set(names)
  foreach(name IN LISTS quoted)
    string(REGEX REPLACE "^.(.*).$" "\\1" name "${name}")
    if(name MATCHES "/|\\.[A-Za-z]+$" AND NOT name MATCHES "^/usr/share/common-licenses/")
      list(APPEND names ${name})
    endif()
  endforeach()
  list(APPEND names ${common})
  list(REMOVE_DUPLICATES names)
  set(${variable} ${names} PARENT_SCOPE)
endfunction()
