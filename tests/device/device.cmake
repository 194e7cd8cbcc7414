# The emulated device as a shared session: commands at once, batch decoding, and a viewer on a
# stand-in for the user's display beside other commands. It makes devices of its own.
add_test(NAME device_session_test
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/device/session_test.sh ${CMAKE_SOURCE_DIR}/lumivex ${LUMIVEX_CORPUS})
set_tests_properties(device_session_test PROPERTIES TIMEOUT 900)
