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
    add_compile_options(${sanitizers} -fno-omit-frame-pointer -O1 -gline-tables-only)
    add_link_options(${sanitizers})
    if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        add_compile_options(-fsanitize=fuzzer-no-link)
        set(LUMETRA_FUZZ ON)
    endif()
endif()
