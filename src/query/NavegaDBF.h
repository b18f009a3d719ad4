#pragma once
// The work behind the DBF browser, apart from its window: the structure report,
// the exports written beside the file (CSV, XML, SQL, CNV), the empty copy of the
// structure, the appends from text, from another DBF and from the lines of an
// outside XSLT processor, and the files handed to R.
#include "data/LeDBF32.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace dorvan {

// Appends let pending window events run every this many records.
inline constexpr std::int64_t IntervaloEventosAcrescimo = 1234;

// Opens for browsing: shared, read only. False (the reader said why) when it failed.
// A .DBC is browsed read only through its expansion: its CRC is checked and its
// records are expanded into a file of the run's private folder that only the handle
// keeps (no name left on disk); Nome stays the DBC's, so exports go beside it.
bool AbreParaLeitura(dbfRecord& h, const std::string& nome);
// Whether the name is a compressed file (extension ".DBC" in any case).
bool EhDBC(const std::string& nome);
// Appends, and compressing it again, are refused for a DBC on show: false, with a
// message that says so.
bool PodeAcrescentar(const dbfRecord& h);
bool PodeComprimir(const dbfRecord& h);
// Closes the file and opens it again for appends (escrita) or for browsing.
// Throws ErroES when it cannot be opened again as asked.
void Reabre(dbfRecord& h, bool escrita);

// The DBF's name with its extension replaced by ext (".csv"); a name without an
// extension gets ext added.
std::string NomeSaida(const std::string& dbf, const std::string& ext);

// The text of field i of the current record as shown: from the DOS code page when
// the file's language byte asks for it.
std::string TextoCampo(const dbfRecord& h, int i, bool DBFcomCP850);

// The structure report's lines (language byte, date, sizes, fields, create table).
std::vector<std::string> InformacaoDBF(const dbfRecord& h, std::uint64_t tamanhoArquivo);

// The exports: each writes the DBF's name with its extension and returns that name.
// Deleted records are left out. Write errors throw ErroES.
std::string GravaCSVDBF(dbfRecord& h, bool DBFcomCP850);
std::string GravaXMLDBF(dbfRecord& h, bool DBFcomCP850);
std::string GravaSQLDBF(dbfRecord& h, bool DBFcomCP850);
// A conversion table from the first two fields (the shorter is the code). Needs
// two fields at least: with fewer, throws ErroFatal.
std::string GravaCNVDBF(dbfRecord& h);

// An empty DBF with the same fields and language byte.
void CopiaEstrutura(const dbfRecord& h, const std::string& destino);

// Called every IntervaloEventosAcrescimo records of an append.
using EventosAcrescimo = std::function<void()>;

// One record from a line of fields separated by sep, in field order: the part before
// the first separator goes to the next field, and so on; at most 255 characters each.
void AcrescentaLinhaSeparada(dbfRecord& h, std::string_view linha, char sep);
// Every line of a text file as one record, fields separated by sep. Returns the count.
std::int64_t AcrescentaDelimitado(dbfRecord& h, const std::string& texto, char sep,
                                  const EventosAcrescimo& eventos = {});
// Every line of a text file laid over the record (fixed-width fields). Returns the count.
std::int64_t AcrescentaSDF(dbfRecord& h, const std::string& texto, const EventosAcrescimo& eventos = {});
// The live records of another DBF, fields matched by name (raw text). Returns the count.
std::int64_t AcrescentaDeDBF(dbfRecord& h, const std::string& outro, const EventosAcrescimo& eventos = {});

// An XSLT output line: a line with "|" is a record, any other a message for the viewer.
inline bool LinhaDeRegistro(std::string_view linha) { return linha.find('|') != std::string_view::npos; }

// The argument list that runs the XSLT processor setting on an XML file and a style
// sheet ("java -jar <path>" runs a Java archive; xsltproc wants the sheet first).
std::vector<std::string> ComandoXSLT(const std::string& programaXSLT, const std::string& xml, const std::string& folha);
// The setting for a chosen processor file: "java -jar " before a ".jar" of any case.
std::string ProgramaXSLTDoArquivo(const std::string& arquivo);
// Where the processor dialog starts: the setting without a leading "java -jar ".
std::string ArquivoDoProgramaXSLT(const std::string& programaXSLT);
// The menu caption: "Via XSLT usando " + the processor's file name.
std::string LegendaXSLT(const std::string& programaXSLT);
// The name of a file without its folder.
std::string NomeSemPasta(const std::string& caminho);

// The uxt converter's argument list (program first): XML, sheet and "temp.txt".
std::vector<std::string> ComandoUXT(const std::string& dirPrograma, const std::string& xml, const std::string& folha);
// Appends every line of a file as a record split at "|". Returns the count.
std::int64_t AcrescentaLinhasArquivo(dbfRecord& h, const std::string& arquivo, const EventosAcrescimo& eventos = {});

// "Executado em <n> Segundos".
std::string TextoExecutadoEm(std::int64_t segundos);

// The start-up file R reads in its working folder: the program folder's
// "autoexec.r" and "menu.r" when present, and the CSV loaded into "tabela".
std::string TextoRprofile(const std::string& dirPrograma, const std::string& csv, bool temAutoexec, bool temMenu);
// Writes ".Rprofile" into pasta (removing an old ".RProfile") for this CSV.
void GravaRprofile(const std::string& pasta, const std::string& dirPrograma, const std::string& csv);

} // namespace dorvan
