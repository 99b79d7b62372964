# kova_add_test(NAME SOURCES ... LIBS ...)
# Every test executable gets a folder of its own, because the program keeps its
# settings file ("kova.ini") beside the executable: tests running in parallel
# must not share one.
function(kova_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE Qt5::Test ${T_LIBS})
  set_target_properties(${name} PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/${name})
  add_test(NAME ${name} COMMAND ${name}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests/${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;LANG=C.UTF-8"
    TIMEOUT 600)
endfunction()
