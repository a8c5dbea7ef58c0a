# The install rules, checked in a temporary DESTDIR; included from tests/CMakeLists.txt.
add_test(NAME install_rules COMMAND bash ${CMAKE_SOURCE_DIR}/tests/install/install.sh
    ${CMAKE_BINARY_DIR} ${PIXMINT_AppId} ${PROJECT_VERSION})
set_tests_properties(install_rules PROPERTIES TIMEOUT 120)
