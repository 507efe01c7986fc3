# Source registration and folder libraries shared by the folders of the tree.
#
#   corvale_sources(HOST a.cpp ... WIN b.cpp ...)
#     Files of the calling folder's library.  HOST files include no Windows
#     header: they go into both builds.  WIN files need Win32 and go into the
#     Windows build only.
#   corvale_folder(NAME [DEPENDS folder ...])
#     Makes the folder's static library, corvale_NAME, from what the folder
#     registered, linked to the libraries of the folders it depends on.  A
#     folder may name only folders declared before it, so the folders cannot
#     depend on each other in a circle; the build refuses an #include of a
#     folder that is neither the folder itself nor one it depends on (directly
#     or through another).
#   corvale_define_core()
#     corvale_core: every folder library, for the program, tools and tests.
#   corvale_test(NAME HOST x_test.cpp ... WIN y_test.cpp ... [LIBS ...])
#     One test executable per folder of tests/, run by ctest (under Wine in the
#     Windows build).  It links the core library and the program's resources.
#   corvale_product_binary(TARGET)
#     The target is shipped: it is built into the product folder.  A DLL is
#     copied beside the tests as well, which load it from their own folder.

include(${CMAKE_CURRENT_LIST_DIR}/CheckIncludes.cmake)

function(corvale_sources)
  cmake_parse_arguments(S "" "" "HOST;WIN" ${ARGN})
  get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  foreach(kind HOST WIN)
    foreach(f ${S_${kind}})
      get_filename_component(abs ${f} ABSOLUTE)
      set_property(GLOBAL APPEND PROPERTY CORVALE_${folder}_${kind}_SOURCES ${abs})
    endforeach()
  endforeach()
endfunction()

function(corvale_folder name)
  cmake_parse_arguments(F "" "" "DEPENDS" ${ARGN})
  get_property(declared GLOBAL PROPERTY CORVALE_FOLDERS)
  set(reach ${name})
  foreach(dependency ${F_DEPENDS})
    if(NOT dependency IN_LIST declared)
      message(FATAL_ERROR "Folder ${name} depends on ${dependency}, which is not declared before it: "
                          "folders depend one way, from the top down.")
    endif()
    get_property(below GLOBAL PROPERTY CORVALE_FOLDER_${dependency}_REACH)
    list(APPEND reach ${below})
  endforeach()
  list(REMOVE_DUPLICATES reach)
  set_property(GLOBAL PROPERTY CORVALE_FOLDER_${name}_REACH ${reach})
  set_property(GLOBAL APPEND PROPERTY CORVALE_FOLDERS ${name})

  get_property(sources GLOBAL PROPERTY CORVALE_${name}_HOST_SOURCES)
  if(NOT CORVALE_HOST)
    get_property(win GLOBAL PROPERTY CORVALE_${name}_WIN_SOURCES)
    list(APPEND sources ${win})
  endif()
  if(sources)
    set(library corvale_${name})
    add_library(${library} STATIC ${sources})
    target_include_directories(${library} PUBLIC ${CMAKE_SOURCE_DIR})
    if(CORVALE_HOST)
      target_link_libraries(${library} PUBLIC z)
    else()
      target_link_libraries(${library} PUBLIC corvale_platform)
    endif()
    foreach(dependency ${F_DEPENDS})
      if(TARGET corvale_${dependency})
        target_link_libraries(${library} PUBLIC corvale_${dependency})
      endif()
    endforeach()
    set_property(GLOBAL APPEND PROPERTY CORVALE_FOLDER_LIBRARIES ${library})
  endif()

  # The include check runs again whenever a file of the folder changes.
  set(folder_dir ${CMAKE_SOURCE_DIR}/${name})
  file(GLOB checked CONFIGURE_DEPENDS ${folder_dir}/*.h ${folder_dir}/*.cpp ${folder_dir}/*.c ${folder_dir}/*.rc)
  corvale_check_includes("${name}" "${reach}" "${CORVALE_PROGRAM_FOLDERS}" "${checked}")
  set(stamp ${CMAKE_BINARY_DIR}/include_checks/${name}.stamp)
  add_custom_command(
    OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DFOLDER=${name} "-DALLOWED=${reach}" "-DKNOWN=${CORVALE_PROGRAM_FOLDERS}"
            -DDIRECTORY=${folder_dir} -DSTAMP=${stamp} -P ${CMAKE_SOURCE_DIR}/cmake/CheckIncludes.cmake
    DEPENDS ${checked} ${CMAKE_SOURCE_DIR}/cmake/CheckIncludes.cmake
    COMMENT "Checking what ${name}/ includes"
    VERBATIM)
  add_custom_target(corvale_${name}_includes ALL DEPENDS ${stamp})
  if(TARGET corvale_${name})
    add_dependencies(corvale_${name} corvale_${name}_includes)
  endif()
endfunction()

function(corvale_define_core)
  get_property(libraries GLOBAL PROPERTY CORVALE_FOLDER_LIBRARIES)
  add_library(corvale_core INTERFACE)
  target_link_libraries(corvale_core INTERFACE ${libraries})
endfunction()

function(corvale_test name)
  cmake_parse_arguments(T "" "" "HOST;WIN;LIBS" ${ARGN})
  set(srcs ${T_HOST})
  if(NOT CORVALE_HOST)
    list(APPEND srcs ${T_WIN})
  endif()
  if(NOT srcs)
    return()
  endif()
  set(libs ${T_LIBS})
  if(NOT libs)
    set(libs corvale_core)
  endif()
  add_executable(${name}_tests ${srcs})
  target_include_directories(${name}_tests PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(${name}_tests PRIVATE ${libs} corvale_test_support GTest::gtest GTest::gmock)
  if(NOT CORVALE_HOST AND TARGET corvale_resources AND "corvale_core" IN_LIST libs)
    target_sources(${name}_tests PRIVATE $<TARGET_OBJECTS:corvale_resources>)
    target_link_options(${name}_tests PRIVATE -mwindows -mconsole)
  endif()
  add_test(NAME ${name} COMMAND ${name}_tests)
  set_tests_properties(${name} PROPERTIES TIMEOUT 600)
  if(NOT CORVALE_HOST)
    # The prefix beside the build folder, as tools/wine-env.sh makes it.
    get_filename_component(build_root ${CMAKE_BINARY_DIR} DIRECTORY)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "CORVALE_BUILD=${build_root}")
  endif()
endfunction()

function(corvale_product_binary target)
  set_target_properties(${target} PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CORVALE_PRODUCT_DIR}
    LIBRARY_OUTPUT_DIRECTORY ${CORVALE_PRODUCT_DIR})
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "SHARED_LIBRARY")
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/bin
      COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${target}> ${CMAKE_BINARY_DIR}/bin/
      VERBATIM)
  endif()
endfunction()
