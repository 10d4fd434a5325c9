# Every source folder is one static library made of the .cpp files it holds, so adding a class never
# means editing a build file. Folders without sources yet give an interface library.
function(tovrin_library name)
    cmake_parse_arguments(ARG "" "" "DEPS;EXCLUDE" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
    foreach(ex IN LISTS ARG_EXCLUDE)
        list(REMOVE_ITEM sources "${CMAKE_CURRENT_SOURCE_DIR}/${ex}")
    endforeach()
    if(sources)
        add_library(${name} STATIC ${sources})
        target_include_directories(${name} PUBLIC "${PROJECT_SOURCE_DIR}/src")
        target_link_libraries(${name} PUBLIC ${ARG_DEPS})
    else()
        add_library(${name} INTERFACE)
        target_include_directories(${name} INTERFACE "${PROJECT_SOURCE_DIR}/src")
        target_link_libraries(${name} INTERFACE ${ARG_DEPS})
    endif()
endfunction()

# One GoogleTest executable per test folder, its cases registered with CTest one by one.
# GUI selects a main that makes a QApplication (widgets, fonts, clipboard); otherwise a QCoreApplication.
function(tovrin_test name)
    cmake_parse_arguments(ARG "GUI" "" "DEPS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
    if(NOT sources)
        return()
    endif()
    add_executable(${name} ${sources})
    if(ARG_GUI)
        target_link_libraries(${name} PRIVATE tovrin_test_main_gui)
    else()
        target_link_libraries(${name} PRIVATE tovrin_test_main_core)
    endif()
    target_link_libraries(${name} PRIVATE tovrin_test_support ${ARG_DEPS} GTest::gtest GTest::gmock)
    target_compile_definitions(${name} PRIVATE
        TOVRIN_TEST_FIXTURES="${PROJECT_SOURCE_DIR}/tests/fixtures"
        TOVRIN_TEST_RESOURCES="${PROJECT_SOURCE_DIR}/resources")
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TOVRIN_RESOURCES=${PROJECT_SOURCE_DIR}/resources")
endfunction()

# A libFuzzer entry point. With TOVRIN_FUZZ it becomes a fuzzer; in every build it also becomes a replay
# program that CTest runs over the seed corpus in fuzz/corpus/<name>, so the corpus stays a regression test.
function(tovrin_fuzz_target name source)
    cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
    add_executable(fuzz_${name}_replay ${source} "${PROJECT_SOURCE_DIR}/fuzz/replay_main.cpp")
    target_link_libraries(fuzz_${name}_replay PRIVATE ${ARG_DEPS})
    add_test(NAME fuzz_replay_${name}
        COMMAND fuzz_${name}_replay "${PROJECT_SOURCE_DIR}/fuzz/corpus/${name}")
    set_tests_properties(fuzz_replay_${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
    if(TOVRIN_FUZZ)
        add_executable(fuzz_${name} ${source})
        target_link_libraries(fuzz_${name} PRIVATE ${ARG_DEPS})
        target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
        # Parts that only libFuzzer can run (a custom mutator) are built for the fuzzer alone.
        target_compile_definitions(fuzz_${name} PRIVATE TOVRIN_LIBFUZZER=1)
    endif()
endfunction()
