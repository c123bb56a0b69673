# Runs "mfp eval" as a user would and compares its lines and exit status.
# -DMFP=<program> [-DEMULATOR=<wine>]
function(expect_eval expected_output expected_status input)
  set(command ${EMULATOR} ${MFP} eval ${ARGN})
  # Standard input is always a file: never the terminal or pipe the test runner was given.
  file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/mfp_eval_input.txt "${input}")
  execute_process(COMMAND ${command} INPUT_FILE ${CMAKE_CURRENT_BINARY_DIR}/mfp_eval_input.txt
                  OUTPUT_VARIABLE output RESULT_VARIABLE status TIMEOUT 60)
  string(REPLACE "\r" "" output "${output}")
  if(NOT output STREQUAL expected_output OR NOT status STREQUAL expected_status)
    message(SEND_ERROR "mfp eval ${ARGN} with input [${input}]\n"
                       "gave status ${status} and:\n${output}\n"
                       "expected status ${expected_status} and:\n${expected_output}")
  endif()
endfunction()

# Each run costs a wine start in the Windows build, so the cases are few and full.
expect_eval("14\n0 + 2i\n5\nerror: What ??? '^'\n6\n-6\n1.5708\n" 1 ""
            "2 + 3 * 4" "sqr(-4)" "x=5" "2^3" "x+1" "-2*3" "asin(1)")
expect_eval("90\n-1\n" 0 "" --degrees "asin(1)" "cos(180)")
# Without statements: one per line of standard input, variables carried from line to line.
expect_eval("3\n0\n30\nerror: Syntax Error: 'foo(1'\n1\n" 1 "a=3\r\n\r\n a * 10\nfoo(1)\ncpx(0,a)\n")
# Both builds give these: the i686 C runtime's sine and cosine part from glibc's only for angles
# beyond about 1e15 radians (cos(1e16) is -0.62618 there, -0.62617 here), so these are the limit.
expect_eval("-0.51319\n0.85827\n-1.6724\n1.0142e+304\n" 0 "" "cos(1e15)" "sin(1e15)" "tan(1e15)" "exp(700)")
