# One static library per source folder; sources are picked up by the folder they live in,
# so adding a unit never means editing a list.
function(vx_add_layer target)
  cmake_parse_arguments(L "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  set(impl ${sources})
  list(FILTER impl INCLUDE REGEX "\\.cpp$")
  if(impl)
    add_library(${target} STATIC ${sources})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${target} PUBLIC ${L_DEPS})
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${target} INTERFACE ${L_DEPS})
  endif()
endfunction()

# One GoogleTest executable per layer, made of every *Test.cpp in the folder.
function(vx_add_layer_tests target)
  cmake_parse_arguments(L "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  if(NOT sources)
    return()
  endif()
  add_executable(${target} ${sources})
  # Resources are linked directly: through a static library their objects would be dropped.
  target_link_libraries(${target} PRIVATE vx_testsupport vx_resources ${L_DEPS})
  target_compile_definitions(${target} PRIVATE
    VX_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/data"
    VX_TEST_CORRUPT_DIR="${CMAKE_CURRENT_SOURCE_DIR}/corrupt")
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST
    PROPERTIES TIMEOUT 120 ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp")
endfunction()
