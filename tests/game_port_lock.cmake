# Included by ctest after the suites' discovered tests: the tests that hold the
# game's UDP port 1234 take turns, so that within one run none of them finds
# it taken by another and skips. A port held by anything else still skips them.
foreach(test IN LISTS apps_tests_TESTS)
  if(test MATCHES "^(ClientAppTest\\.|ClientAppProcess\\.|EntryPoint\\.ServerGivesUp)")
    set_tests_properties("${test}" PROPERTIES RESOURCE_LOCK game_port)
  endif()
endforeach()
