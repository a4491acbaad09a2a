# lumetra_library(<target> <folder>...): one static library from every .cpp below the given folders.
function(lumetra_library target)
    set(sources)
    foreach(dir ${ARGN})
        file(GLOB_RECURSE found CONFIGURE_DEPENDS "${dir}/*.cpp")
        list(APPEND sources ${found})
    endforeach()
    add_library(${target} STATIC ${sources})
    target_include_directories(${target} PUBLIC "${PROJECT_SOURCE_DIR}")
endfunction()

# lumetra_tests(<label> <folder> <libraries>...): one test program per *_test.cpp in the folder,
# each test case registered with CTest under the label, so one area can be run alone (ctest -L <label>).
function(lumetra_tests label dir)
    file(GLOB found CONFIGURE_DEPENDS "${dir}/*_test.cpp")
    foreach(src ${found})
        get_filename_component(name "${src}" NAME_WE)
        set(target "${label}_${name}")
        add_executable(${target} "${src}")
        target_link_libraries(${target} PRIVATE ${ARGN} GTest::gtest GTest::gtest_main GTest::gmock)
        target_include_directories(${target} PRIVATE "${PROJECT_SOURCE_DIR}" "${PROJECT_SOURCE_DIR}/tests")
        target_compile_definitions(${target} PRIVATE LUMETRA_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data")
        gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST PROPERTIES LABELS "${label}"
                             WORKING_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}")
    endforeach()
endfunction()
