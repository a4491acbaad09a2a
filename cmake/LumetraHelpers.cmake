# lumetra_library(<target> <folder>...): one static library from every .cpp below the given folders.
function(lumetra_library target)
    set(sources)
    foreach(dir ${ARGN})
        file(GLOB_RECURSE found CONFIGURE_DEPENDS "${dir}/*.cpp")
        list(APPEND sources ${found})
    endforeach()
    if(NOT sources)
        # A folder whose first unit is still to come links like any other.
        set(sources "${CMAKE_CURRENT_BINARY_DIR}/${target}_empty.cpp")
        file(WRITE "${sources}" "")
    endif()
    add_library(${target} STATIC ${sources})
    target_include_directories(${target} PUBLIC "${PROJECT_SOURCE_DIR}")
endfunction()

# lumetra_test_program(<label> <target> <source> <libraries>...): a test file that needs a program to
# itself, because what it checks depends on what else the program links. Declare it before the
# lumetra_tests call of its folder, which then leaves the file out.
function(lumetra_test_program label target src)
    _lumetra_test_executable(${label} ${target} "${src}")
    target_link_libraries(${target} PRIVATE ${ARGN})
    set_property(DIRECTORY APPEND PROPERTY LUMETRA_OWN_PROGRAM_SOURCES "${src}")
endfunction()

# lumetra_tests(<label> <folder> <libraries>...): every *_test.cpp of the folder goes into the area's one
# test program, <label>_tests (several folders may feed one area). Each test case is registered with CTest
# under the label, so one area can be run alone (ctest -L <label>). One program per area rather than per
# file: linking, not compiling, dominated the build when every file linked the libraries on its own.
function(lumetra_tests label dir)
    file(GLOB found CONFIGURE_DEPENDS "${dir}/*_test.cpp")
    get_property(own DIRECTORY PROPERTY LUMETRA_OWN_PROGRAM_SOURCES)
    if(own)
        list(REMOVE_ITEM found ${own})
    endif()
    set(target "${label}_tests")
    if(NOT found AND NOT TARGET ${target})
        return()
    endif()
    if(TARGET ${target})
        target_sources(${target} PRIVATE ${found})
    else()
        _lumetra_test_executable(${label} ${target} ${found})
    endif()
    target_link_libraries(${target} PRIVATE ${ARGN})
endfunction()

function(_lumetra_test_executable label target)
    add_executable(${target} ${ARGN})
    target_link_libraries(${target} PRIVATE GTest::gtest GTest::gtest_main GTest::gmock)
    target_include_directories(${target} PRIVATE "${PROJECT_SOURCE_DIR}" "${PROJECT_SOURCE_DIR}/tests")
    target_compile_definitions(${target} PRIVATE LUMETRA_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data")
    gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST PROPERTIES LABELS "${label}"
                         WORKING_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}")
endfunction()
