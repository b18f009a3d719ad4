# Seeds written at test time (cmake -P): a small synthetic sample (records, DEF,
# CNVs, DBF table, map) from the sample generator, and the analysis schemes shipped
# with the program; also an empty corpus folder per target and no crash files left
# from an earlier run. Arguments: GERA_AMOSTRA (the generator), FONTE (the source
# tree), DESTINO (the build folder of the targets), ALVOS (their names).
file(REMOVE_RECURSE ${DESTINO}/sementes ${DESTINO}/corpus ${DESTINO}/artefatos)
file(MAKE_DIRECTORY ${DESTINO}/artefatos)
foreach(_alvo ${ALVOS})
  file(MAKE_DIRECTORY ${DESTINO}/corpus/${_alvo} ${DESTINO}/sementes/${_alvo})
endforeach()
set(DESTINO ${DESTINO}/sementes)
set(_amostra ${DESTINO}/amostra)
execute_process(COMMAND ${GERA_AMOSTRA} ${_amostra} 40 1 RESULT_VARIABLE _r OUTPUT_QUIET)
if(NOT _r EQUAL 0)
  message(FATAL_ERROR "sample generator failed: ${_r}")
endif()

function(copia alvo)
  file(MAKE_DIRECTORY ${DESTINO}/${alvo})
  file(COPY ${ARGN} DESTINATION ${DESTINO}/${alvo})
endfunction()

copia(dbc ${_amostra}/dados/DO1901.DBC ${_amostra}/dados/DO1907.DBC)
copia(dbf ${_amostra}/LOCOCOR.DBF)
copia(sql_dbf ${_amostra}/LOCOCOR.DBF)
copia(gera_cnv ${_amostra}/LOCOCOR.DBF)
# Every table but the long municipality list.
file(GLOB _cnvs ${_amostra}/*.CNV)
list(FILTER _cnvs EXCLUDE REGEX "MUNICBR\\.CNV$")
copia(cnv ${_cnvs})
copia(def ${_amostra}/obitos.def)
copia(mapa ${_amostra}/brasil.map)
file(GLOB _esquemas ${FONTE}/src/analysis/esquemas/*.rx)
copia(xml ${_esquemas})
