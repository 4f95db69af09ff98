# Installs the current build into a fresh prefix, builds the sample plug-in
# against it with find_package(velkui) and runs it.
file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)

function(run_step what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${what} failed (${result}):\n${out}\n${err}")
  endif()
  message(STATUS "${what}: ok\n${out}")
endfunction()

if(SANITIZE)
  set(flags "-fsanitize=address,undefined -fno-omit-frame-pointer")
endif()
run_step("install" ${CMAKE_COMMAND} --install ${BINARY_DIR} --prefix ${prefix})
run_step("configure" ${CMAKE_COMMAND} -S ${PLUGIN_SOURCE} -B ${WORK_DIR}/build -G ${GENERATOR}
  -DCMAKE_BUILD_TYPE=${BUILD_TYPE} -DCMAKE_PREFIX_PATH=${prefix}
  -DCMAKE_CXX_FLAGS=${flags} -DCMAKE_EXE_LINKER_FLAGS=${flags})
run_step("build" ${CMAKE_COMMAND} --build ${WORK_DIR}/build)
run_step("run" ${CMAKE_COMMAND} -E env LD_LIBRARY_PATH=${prefix}/lib:${prefix}/lib64
  ${WORK_DIR}/build/velkui_plugin_example)
