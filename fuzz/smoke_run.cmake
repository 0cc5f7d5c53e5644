# Runs a fuzzer for a few seconds over a copy of its seed corpus. libFuzzer adds
# every new input it finds to the corpus folder it is given, and the
# repository's corpus must stay as committed.
#   cmake -DFUZZER=exe -DCORPUS=dir [-DDICT=file] [-DSECONDS=n] -P smoke_run.cmake
if(NOT SECONDS)
  set(SECONDS 20)
endif()
if(DEFINED ENV{TMPDIR})
  set(temp_root "$ENV{TMPDIR}")
else()
  set(temp_root "/tmp")
endif()
string(RANDOM LENGTH 12 tag)
set(work "${temp_root}/tarvix-fuzz-smoke-${tag}")
file(MAKE_DIRECTORY "${work}/corpus")
file(GLOB seeds "${CORPUS}/*")
file(COPY ${seeds} DESTINATION "${work}/corpus")

set(args -max_total_time=${SECONDS} -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
    -artifact_prefix=${work}/)
if(DICT)
  list(APPEND args -dict=${DICT})
endif()
execute_process(COMMAND "${FUZZER}" ${args} "${work}/corpus" RESULT_VARIABLE rc)

if(NOT rc EQUAL 0)
  # The finding stays for whoever reads the log.
  message(FATAL_ERROR "fuzzer failed (${rc}); the input that broke it is in ${work}/")
endif()
file(REMOVE_RECURSE "${work}")
