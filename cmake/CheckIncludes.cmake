# Which folders a folder's files include, against the folders it may use.
# Included by Corvale.cmake (checked when the build is configured) and run as
# a script by the build whenever a file of the folder changes:
#   cmake -DFOLDER=f -DALLOWED="f;g" -DKNOWN="a;b;..." -DDIRECTORY=dir -DSTAMP=file -P CheckIncludes.cmake
if(CMAKE_SCRIPT_MODE_FILE)
  cmake_minimum_required(VERSION 3.20)
endif()

function(corvale_check_includes folder allowed known files)
  set(refused "")
  foreach(file ${files})
    file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"[A-Za-z0-9_]+/")
    foreach(line ${lines})
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"(([A-Za-z0-9_]+)/[^\"]*)\".*" "\\2;\\1" parts "${line}")
      list(GET parts 0 used)
      list(GET parts 1 header)
      if(used IN_LIST known AND NOT used IN_LIST allowed)
        get_filename_component(name ${file} NAME)
        string(APPEND refused "\n  ${folder}/${name} includes ${header}")
      endif()
    endforeach()
  endforeach()
  if(refused)
    message(FATAL_ERROR "${folder}/ may use only ${allowed}; it includes other folders:${refused}\n"
                        "Move the code to the folder where it belongs, or declare the dependency in the "
                        "top-level CMakeLists.txt if it goes one way.")
  endif()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE AND FOLDER)
  file(GLOB checked ${DIRECTORY}/*.h ${DIRECTORY}/*.cpp ${DIRECTORY}/*.c ${DIRECTORY}/*.rc)
  corvale_check_includes("${FOLDER}" "${ALLOWED}" "${KNOWN}" "${checked}")
  file(TOUCH ${STAMP})
endif()
