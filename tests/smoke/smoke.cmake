# The editor on a real (virtual) X display; included from tests/CMakeLists.txt.
add_test(NAME smoke_xvfb COMMAND bash ${CMAKE_SOURCE_DIR}/tests/smoke/smoke.sh $<TARGET_FILE:pixmint>)
set_tests_properties(smoke_xvfb PROPERTIES TIMEOUT 60)
