# The editor on a real (virtual) X display; included from tests/CMakeLists.txt.
add_test(NAME smoke_xvfb COMMAND bash ${CMAKE_SOURCE_DIR}/tests/smoke/smoke.sh $<TARGET_FILE:pixmint>)
set_tests_properties(smoke_xvfb PROPERTIES TIMEOUT 60)
# The same under a real window manager, whose frames the windows are placed by; skipped (77)
# without openbox.
add_test(NAME frames_openbox COMMAND bash ${CMAKE_SOURCE_DIR}/tests/smoke/frames.sh $<TARGET_FILE:pixmint>)
set_tests_properties(frames_openbox PROPERTIES TIMEOUT 90 SKIP_RETURN_CODE 77)
# A colour of another program's window picked through a real still of the screen, under openbox.
add_test(NAME picker_openbox COMMAND bash ${CMAKE_SOURCE_DIR}/tests/smoke/picker.sh $<TARGET_FILE:pixmint>)
set_tests_properties(picker_openbox PROPERTIES TIMEOUT 90 SKIP_RETURN_CODE 77)
