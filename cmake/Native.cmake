# Native build: the portable core, its tests and the benchmarks.
if(SKARNVALE_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
  # add_compile_options reaches only targets created after it; the core library is created before.
  target_compile_options(skarnvale_core PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
endif()

add_subdirectory(${GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)

file(GLOB UNIT_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/*.cpp)
add_executable(unit_tests ${UNIT_TEST_SOURCES})
target_link_libraries(unit_tests PRIVATE skarnvale_core GTest::gtest_main)
gtest_discover_tests(unit_tests)

add_executable(bench_kill_lookup bench/kill_lookup_bench.cpp bench/kill_lookup_native.cpp)
target_link_libraries(bench_kill_lookup PRIVATE skarnvale_core)
add_executable(bench_mail_decode bench/mail_decode_bench.cpp bench/mail_decode_native.cpp)
target_link_libraries(bench_mail_decode PRIVATE skarnvale_core)
add_executable(bench_imap_reader bench/imap_reader_bench.cpp)
target_link_libraries(bench_imap_reader PRIVATE skarnvale_core)

option(SKARNVALE_FUZZ "Build the libFuzzer targets of the parsers (clang only)" OFF)
if(SKARNVALE_FUZZ)
  add_subdirectory(${CMAKE_SOURCE_DIR}/fuzz ${CMAKE_BINARY_DIR}/fuzz)
endif()
