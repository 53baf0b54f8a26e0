# zova_library(name [dir]): a static library zova_<name> with alias zova::<name>,
# its sources added by the subdirectory's own CMakeLists.
function(zova_library name)
  add_library(zova_${name} STATIC)
  add_library(zova::${name} ALIAS zova_${name})
  target_include_directories(zova_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(zova_${name} PRIVATE zova::build_flags)
endfunction()

# zova_globbed_library(name LIBS ...): a library of every .cpp below the current
# folder; any *.cmake file beside it adds further link dependencies.
macro(zova_globbed_library name)
  cmake_parse_arguments(GL "" "" "LIBS" ${ARGN})
  zova_library(${name})
  file(GLOB_RECURSE _zova_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  target_sources(zova_${name} PRIVATE ${_zova_sources})
  target_link_libraries(zova_${name} PUBLIC ${GL_LIBS})
  file(GLOB _zova_extras CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cmake)
  foreach(_zova_extra ${_zova_extras})
    include(${_zova_extra})
  endforeach()
endmacro()

# zova_test(name SOURCES ... LIBS ... [LABELS ...] [ENV ...]): one GoogleTest executable.
# Tests without the x11 label run on the offscreen platform.
function(zova_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS;ENV" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE zova::build_flags ${T_LIBS} zova::testsupport Qt6::Test)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name})
  set(env ${T_ENV})
  if(NOT "x11" IN_LIST T_LABELS AND NOT "wm" IN_LIST T_LABELS)
    list(APPEND env QT_QPA_PLATFORM=offscreen)
  else()
    # Tests on the shared display would see each other's windows and clicks.
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK x_display)
  endif()
  list(APPEND env "ASAN_OPTIONS=detect_leaks=0:abort_on_error=0" "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}" TIMEOUT 600)
  if(T_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
  endif()
endfunction()
