# kelvane_add_test(NAME <name> SOURCES <files...> [LIBS <targets...>] [QT])
# One GoogleTest executable, registered with ctest test by test. Tests run from the build tree;
# they find their fixtures through KELVANE_TEST_DATA and the built tools through KELVANE_BIN_DIR.
find_package(GTest REQUIRED)
include(GoogleTest)

function(kelvane_add_test)
  cmake_parse_arguments(T "QT" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} kelvane_testing GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${T_NAME} PRIVATE
    KELVANE_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data"
    KELVANE_BIN_DIR="${PROJECT_BINARY_DIR}/bin")
  set(props "")
  if(T_QT)
    set(props ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  endif()
  gtest_discover_tests(${T_NAME} DISCOVERY_TIMEOUT 60 PROPERTIES ${props} TIMEOUT 600)
endfunction()
