# Windows i686, the shipped product. Its tests run under Wine where the host kernel executes
# 32-bit code; elsewhere they are built but not registered with ctest.
set(ORVO_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
execute_process(COMMAND /lib/ld-linux.so.2 --version RESULT_VARIABLE host_runs_32bit OUTPUT_QUIET ERROR_QUIET)
if(host_runs_32bit EQUAL 0)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
endif()
