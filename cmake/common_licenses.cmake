# common_licenses_referred(<folder> <variable>): the names of the licence texts
# that the .txt files in <folder> refer to as /usr/share/common-licenses/<name>.
function(common_licenses_referred folder variable)
  file(GLOB texts ${folder}/*.txt)
  set(names)
  foreach(text_file IN LISTS texts)
    file(READ ${text_file} text)
    string(REGEX MATCHALL "/usr/share/common-licenses/[A-Za-z0-9.+-]+" paths "${text}")
    foreach(path IN LISTS paths)
      # A sentence may end right after the name.
      string(REGEX REPLACE "^/usr/share/common-licenses/(.*[^.])\\.*$" "\\1" name "${path}")
      list(APPEND names ${name})
    endforeach()
  endforeach()
  list(REMOVE_DUPLICATES names)
  set(${variable} ${names} PARENT_SCOPE)
endfunction()
