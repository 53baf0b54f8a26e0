# zova_library(name [EXCLUDE path...] [PUBLIC dep...] [PRIVATE dep...]): the one way
# a library is made. zova_<name> (alias zova::<name>) holds every .cpp and .h below
# the current folder, found again whenever files come or go, so a new file needs no
# CMake edit. EXCLUDE names files or sub-folders (relative to the folder) that belong
# elsewhere. A folder without .cpp files makes a header-only INTERFACE library.
# Every *.cmake below the folder is included afterwards to add what its area needs
# (packages and their links), never sources. Link PRIVATE unless a header of the
# library includes the dependency's headers.
function(zova_library name)
  cmake_parse_arguments(L "" "" "EXCLUDE;PUBLIC;PRIVATE" ${ARGN})
  set(dir ${CMAKE_CURRENT_SOURCE_DIR})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
  file(GLOB_RECURSE areas CONFIGURE_DEPENDS ${dir}/*.cmake)
  foreach(path ${L_EXCLUDE})
    list(FILTER sources EXCLUDE REGEX "^${dir}/${path}(/|$)")
    list(FILTER areas EXCLUDE REGEX "^${dir}/${path}(/|$)")
  endforeach()
  set(compiled ${sources})
  list(FILTER compiled INCLUDE REGEX "\\.cpp$")
  if(compiled)
    add_library(zova_${name} STATIC ${sources})
    target_include_directories(zova_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(zova_${name} PUBLIC ${L_PUBLIC} PRIVATE zova::build_flags ${L_PRIVATE})
  else()
    add_library(zova_${name} INTERFACE)
    target_sources(zova_${name} INTERFACE FILE_SET HEADERS BASE_DIRS ${PROJECT_SOURCE_DIR}/src FILES ${sources})
    target_link_libraries(zova_${name} INTERFACE ${L_PUBLIC})
  endif()
  add_library(zova::${name} ALIAS zova_${name})
  foreach(area ${areas})
    include(${area})
  endforeach()
endfunction()

# What every test runs with: leak checks on, with the suppressions for system libraries.
set(ZOVA_SANITIZER_ENV "ASAN_OPTIONS=detect_leaks=1:abort_on_error=0"
    "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0"
    "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")

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
  list(APPEND env ${ZOVA_SANITIZER_ENV})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}" TIMEOUT 600)
  if(T_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
  endif()
endfunction()
