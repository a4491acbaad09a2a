# LUMETRA_SANITIZE: everything built with AddressSanitizer and UndefinedBehaviorSanitizer; undefined
# behaviour aborts the program, so a test that meets it fails instead of printing a warning and passing.
# Built with clang, the code also carries libFuzzer's coverage hooks, so the fuzz targets (tests/fuzz)
# link against the same libraries and one build serves the tests and the fuzzing.
option(LUMETRA_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
set(LUMETRA_FUZZ OFF)
if(LUMETRA_SANITIZE)
    set(sanitizers -fsanitize=address,undefined -fno-sanitize-recover=all)
    # Line tables are all a sanitizer's report needs; full debug information and -O2 would make the
    # build much slower on a small CI machine.
    add_compile_options(${sanitizers} -fno-omit-frame-pointer -O1)
    add_link_options(${sanitizers})
    if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        add_compile_options(-gline-tables-only -fsanitize=fuzzer-no-link)
        set(LUMETRA_FUZZ ON)
    else()
        add_compile_options(-g1)
    endif()

    # CTest gives the tests the leak suppressions for system libraries (tests/sanitizers/lsan.supp), so
    # that running ctest by hand in this build reports what scripts/test.sh reports.
    set(suppressions "${PROJECT_SOURCE_DIR}/tests/sanitizers/lsan.supp")
    file(CONFIGURE OUTPUT "${PROJECT_BINARY_DIR}/SanitizerOptions.cmake" @ONLY CONTENT [[
if(NOT "$ENV{LSAN_OPTIONS}" MATCHES "suppressions=")
    set(ENV{LSAN_OPTIONS} "suppressions=@suppressions@:$ENV{LSAN_OPTIONS}")
endif()
if(NOT "$ENV{UBSAN_OPTIONS}" MATCHES "print_stacktrace=")
    set(ENV{UBSAN_OPTIONS} "print_stacktrace=1:$ENV{UBSAN_OPTIONS}")
endif()
]])
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${PROJECT_BINARY_DIR}/SanitizerOptions.cmake")
endif()
