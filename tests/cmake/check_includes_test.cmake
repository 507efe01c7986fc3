# Runs the include check over a folder that crosses the line and one that does
# not, and configures a tree whose folders depend on each other in a circle.
cmake_minimum_required(VERSION 3.20)

set(failures "")
# expect(MESSAGE CONDITION...): records MESSAGE unless the condition holds.
macro(expect message)
  if(NOT (${ARGN}))
    string(APPEND failures "\n  ${message}")
  endif()
endmacro()

function(check_folder directory stamp)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -DFOLDER=common "-DALLOWED=common;res"
            "-DKNOWN=akrip;res;common;controls;files;cd;rip;app" -DDIRECTORY=${directory} -DSTAMP=${stamp}
            -P ${SOURCE_DIR}/cmake/CheckIncludes.cmake
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  set(result ${result} PARENT_SCOPE)
  set(output "${output}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

check_folder(${DATA}/include_check/refused ${WORK}/refused.stamp)
expect("an include of a higher folder passed" NOT result EQUAL 0)
expect("a refused folder left its stamp" NOT EXISTS ${WORK}/refused.stamp)
string(FIND "${output}" "common/crosses_upward.h includes controls/dialog_frame.h" upward)
expect("the refusal does not name controls/dialog_frame.h: ${output}" upward GREATER -1)
string(FIND "${output}" "common/reaches_the_top.cpp includes app/main_window.h" top)
expect("an indented #include went unseen: ${output}" top GREATER -1)
string(FIND "${output}" "includes common/text_utils.h" own)
expect("the folder's own header was refused: ${output}" own EQUAL -1)

check_folder(${DATA}/include_check/allowed ${WORK}/allowed.stamp)
expect("own, lower and non-program includes were refused: ${output}" result EQUAL 0)
expect("a clean folder left no stamp" EXISTS ${WORK}/allowed.stamp)

execute_process(
  COMMAND ${CMAKE_COMMAND} -S ${DATA}/folder_order -B ${WORK}/folder_order -DCORVALE_CMAKE_DIR=${SOURCE_DIR}/cmake
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
expect("folders depending on each other in a circle were configured" NOT result EQUAL 0)
string(FIND "${output}" "Folder lower depends on upper, which is not declared before it" order)
expect("the circle was refused for another reason: ${output}" order GREATER -1)

if(failures)
  message(FATAL_ERROR "include check:${failures}")
endif()
