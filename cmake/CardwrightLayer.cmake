# Each layer is one static library made of every source file in its folders,
# so that adding a unit means adding its files, not editing build scripts.
function(cw_add_layer name)
  cmake_parse_arguments(L "" "" "DIRS;LIBS" ${ARGN})
  set(sources)
  foreach(dir IN LISTS L_DIRS)
    file(GLOB found CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
    list(APPEND sources ${found})
  endforeach()
  set(compiled ${sources})
  list(FILTER compiled INCLUDE REGEX "\\.cpp$")
  if(NOT compiled)
    # A layer whose first units have not landed yet: nothing to compile,
    # but its dependants can already name it.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${L_LIBS})
    return()
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${L_LIBS})
endfunction()

# One test program per test folder; ctest runs each as one test.
function(cw_add_test_dir name dir)
  cmake_parse_arguments(T "" "" "LIBS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE cw_test_support ${T_LIBS})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;CW_TEST_DATA=${PROJECT_SOURCE_DIR}/tests/data"
    TIMEOUT 900)
endfunction()
