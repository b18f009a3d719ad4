# The sample, written into a folder whose path holds digits, tabulated by
# bench_tabula: the footer's period comes from the data files as the DEF names
# them ("dados\DO*.DBC"), never from the folders above them. The 36 months of
# 2019 to 2021 make whole years.
set(pasta "${PASTA}/instalacao 3/v2.5")
file(REMOVE_RECURSE "${PASTA}")
execute_process(COMMAND "${GERA}" "${pasta}" 20 RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "dorvan_gera_amostra exited with ${rc}")
endif()
execute_process(COMMAND "${BENCH}" "${pasta}/obitos.def" --linha "Sexo" --semR --threads 2
                OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "bench_tabula exited with ${rc}:\n${err}")
endif()
foreach(esperado "#Titulo1=Óbitos - amostra sintética do Dorvan\n"
                 "#Titulo2=Freqüência segundo Sexo\n"
                 "#Rodape=Fonte: amostra sintética do Dorvan - Período 2019-2021\n")
  string(FIND "${out}" "${esperado}" onde)
  if(onde EQUAL -1)
    message(FATAL_ERROR "bench_tabula does not print \"${esperado}\":\n${out}")
  endif()
endforeach()
file(REMOVE_RECURSE "${PASTA}")
