# cmake/copy_assets.cmake on a scratch tree of one file: copied at first; a
# build copy mended by hand outlives the next builds, each saying so in one
# line; a newer source copy replaces it; a newer but equal build copy, as a
# save leaves it, passes without a word; what a save cut short leaves stays out.
# cmake -DSCRIPT=<copy_assets.cmake> -DSCRATCH=<folder> -P copy_assets_test.cmake
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${SCRATCH})
set(src_file ${SCRATCH}/src/assets/ships/a/a.json)
set(build_file ${SCRATCH}/build/assets/ships/a/a.json)

# A moment after the last write, as a person writes: the file system's clock
# may give writes close together one time stamp.
function(write_later file text)
  execute_process(COMMAND ${CMAKE_COMMAND} -E sleep 0.05)
  file(WRITE ${file} "${text}")
endfunction()

function(expect_copy step text said)
  execute_process(COMMAND ${CMAKE_COMMAND} -DSRC=${SCRATCH} -DOUT=${SCRATCH}/build/assets -P ${SCRIPT}
                  ERROR_VARIABLE output RESULT_VARIABLE status)
  string(STRIP "${output}" output)
  file(READ ${build_file} found)
  file(GLOB beside ${build_file}.*)
  if(NOT status EQUAL 0 OR NOT found STREQUAL text OR NOT output STREQUAL said OR beside)
    message(FATAL_ERROR "${step}: exit ${status}, the build copy holds '${found}', not '${text}'; "
                        "the copy said\n'${output}'\nnot\n'${said}'; beside it: ${beside}")
  endif()
endfunction()

file(WRITE ${src_file} "source")
expect_copy("first build" "source" "")
write_later(${build_file} "mended by hand")
set(kept "build/assets/ships/a/a.json is newer than src/assets/ships/a/a.json and differs, so it is kept; copy it to src/assets/ships/a/a.json to keep the change, or delete it to take the source's")
expect_copy("build copy mended" "mended by hand" "${kept}")
expect_copy("next build" "mended by hand" "${kept}")
write_later(${src_file} "source changed")
expect_copy("source changed" "source changed" "")
write_later(${build_file} "source changed")
expect_copy("both saved" "source changed" "")
foreach(role src build old)
  file(WRITE ${src_file}.${role}.tmp "cut short")
endforeach()
expect_copy("a save cut short" "source changed" "")
file(REMOVE_RECURSE ${SCRATCH})
