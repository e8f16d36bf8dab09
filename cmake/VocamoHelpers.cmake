# vocamo_library(NAME <target> [WIDGETS] DEPS <targets...>)
#   One library per source folder: every .cpp/.h of the calling folder (not of its
#   subfolders, which are libraries of their own), so adding a file pair needs no edit. WIDGETS marks the user-interface side, which the
#   sanitizer build leaves out.
function(vocamo_library)
  cmake_parse_arguments(ARG "WIDGETS" "NAME" "DEPS" ${ARGN})
  if(ARG_WIDGETS AND VOCAMO_SANITIZE)
    return()
  endif()
  file(GLOB sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
       ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  if(NOT sources MATCHES "\\.cpp")
    # A folder whose units have not landed yet still gives its dependants a target.
    add_library(${ARG_NAME} INTERFACE)
    target_include_directories(${ARG_NAME} INTERFACE ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${ARG_NAME} INTERFACE ${ARG_DEPS})
    return()
  endif()
  add_library(${ARG_NAME} STATIC ${sources})
  target_include_directories(${ARG_NAME} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${ARG_NAME} PUBLIC ${ARG_DEPS})
endfunction()

# vocamo_tests(DEPS <targets...> [WIDGETS])
#   Every tst_*.cpp of the calling folder becomes one QtTest executable and one CTest
#   test of the same name, run offscreen with a private HOME.
function(vocamo_tests)
  cmake_parse_arguments(ARG "WIDGETS" "" "DEPS" ${ARGN})
  if(ARG_WIDGETS AND VOCAMO_SANITIZE)
    return()
  endif()
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tst_*.cpp)
  file(GLOB support CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/support/*.cpp
       ${CMAKE_CURRENT_SOURCE_DIR}/support/*.h)
  foreach(test_source ${tests})
    get_filename_component(test_name ${test_source} NAME_WE)
    get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
    set(target ${folder}_${test_name})
    add_executable(${target} ${test_source} ${support})
    target_link_libraries(${target} PRIVATE Qt6::Test ${ARG_DEPS})
    target_include_directories(${target} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
    set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    add_test(NAME ${folder}.${test_name} COMMAND ${target})
    set_tests_properties(${folder}.${test_name} PROPERTIES
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;VOCAMO_SOURCE_DIR=${CMAKE_SOURCE_DIR};VOCAMO_BIN_DIR=${CMAKE_BINARY_DIR}/bin"
      TIMEOUT 300)
  endforeach()
endfunction()
