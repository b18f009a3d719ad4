#!/bin/sh
# Wide tables and DBC tabulation, figures side by side in one run:
#   bench/tabula_larga.sh <build folder> <work folder>
# The work folder gets (once) a 2M-record file with 5,570 municipalities and the
# same records in 16 files. For each case: the run's time, its processor time, the
# peak resident memory and a digest of the table (labels, cells, totals to the bit),
# which must not change with the thread count. Give `uptime` with the figures.
set -e
B=$1/bench
W=$2
[ -f "$W/um/OBITOS.dbc" ] || "$B/bench_gera_dbf_saude" "$W/um" 2000000 5570 > /dev/null
[ -f "$W/dezesseis/OBITOS16.dbc" ] || "$B/bench_gera_dbf_saude" "$W/dezesseis" 2000000 5570 16 > /dev/null

roda() { # <label> <folder> <column> <threads> <files...>
    rotulo=$1 pasta=$2 coluna=$3 fios=$4
    shift 4
    /usr/bin/time -f "%U %S %M" -o "$W/tempo.txt" "$B/bench_tabula" "$pasta/obitos.def" --linha "Mun residência" \
        --coluna "$coluna" --threads "$fios" --semR --resumo "$@" > "$W/saida.txt" 2> "$W/erro.txt"
    s=$(sed -n 's/^tabula.*em \([0-9.]*\) s.*/\1/p' "$W/erro.txt")
    mb=$(sed -n 's/^tabela:.*, \([0-9.]*\) MB de c.*/\1/p' "$W/erro.txt")
    set -- $(cat "$W/tempo.txt")
    printf '%-34s fios=%s  %6.3f s  cpu %5.2f s  rss %6.1f MB  tabela %6.1f MB  %s\n' "$rotulo" "$fios" "$s" \
        "$(echo "$1 + $2" | bc)" "$(echo "$3 / 1024" | bc -l)" "$mb" "$(cat "$W/saida.txt")"
}

uptime
echo "== residence x sex and residence x occurrence, one 2M-record DBF"
for fios in 1 2 4 8; do
    roda "residencia x sexo (DBF)" "$W/um" "Sexo" $fios "$W/um/OBITOS.dbf"
    roda "residencia x ocorrencia (DBF)" "$W/um" "Mun ocorrência" $fios "$W/um/OBITOS.dbf"
done
echo "== residence x occurrence, the same records in 16 DBC files"
for fios in 1 2 3 4 5 6 7 8; do
    roda "residencia x ocorrencia (16 DBC)" "$W/dezesseis" "Mun ocorrência" $fios "$W"/dezesseis/OBITOS*.dbc
done
echo "== DBC tabulation against a bare expansion of the same files"
for fios in 1 8; do
    "$B/bench_tabula" "$W/um/obitos.def" --linha "Mun residência" --coluna Sexo --threads $fios --semR --resumo \
        --expande "$W/um/OBITOS.dbc" 2>&1 >/dev/null | grep -E "^tabula|todos" | sed "s/^/fios=$fios  /"
done
echo "== 16 DBC files, residence x sex, 1 to 8 threads"
for fios in 1 8 1 8; do
    roda "residencia x sexo (16 DBC)" "$W/dezesseis" "Sexo" $fios "$W"/dezesseis/OBITOS*.dbc
done
uptime
