#pragma once
// Settings of the program ("Dorvan.ini"), what start-up finds beside the program,
// the command line, the desktop's file associations and the decisions taken when
// a table is closed or the program is left. No window here: questions go through
// MensagensAtuais(), file choices through a callback.
#include "platform/Ini.h"
#include "table/TabelaResultados.h"

#include <functional>
#include <string>
#include <vector>

namespace dorvan {

struct Limites {
    int Top = 0, Left = 0, Width = 0, Height = 0;
};

// The second XML converter's file name, as its menu item names it.
inline constexpr const char* ProgramaUXT = "uxt.exe";

struct Configuracao {
    std::string CaminhoPrograma; // full program file name
    std::string DirPrograma;     // its folder, with a trailing '/'
    std::string DirTrabalho, DirMapas, DirSalva, DirDados, DirRX, DirR; // folders end with '/' (or are empty)
    std::string FonteFixa = "Courier New";
    bool ModoSeguro = true;
    bool DBFcomCP850 = true;
    bool MostraLog = true; // the log window's "Mostra log ao abrir tabela"
    std::string ProgramaXSLT;
    // ProgramaXSLT was found on the PATH: used, never written to the settings.
    bool XSLTDoPath = false;
    std::string EnderecoSuporte; // "&Enviar para ..." writes to it ([Opcoes] Suporte, never written back)
    Limites RGrafico{120, 120, 640, 480}; // design bounds of the R plot window
    bool RGraficoStretch = true;
    Limites FQuery{80, 80, 760, 540}; // design bounds of the SQL window
    bool SQLDisponivel = false;       // the SQL command is available (engine started)
    std::string ArquivoDEF;           // the DEF named on the command line or last opened

    // What start-up found; the main window shows or hides commands by these.
    bool TemPalm = false;       // the handheld converter beside the program, and .pdb has a program
    bool TemR = false;          // R found: the R commands replace "Estatísticas"
    bool TemPlanilha = false;   // .xls has a program
    bool TemNovidades = false;  // "DocDorvan.htm" beside the program
    bool TemUXT = false;        // the second XML converter (ProgramaUXT) beside the program

    std::string ArquivoIni; // where the settings are read from and written to
};

// The settings of the running program.
Configuracao& ConfiguracaoAtual();

// Where "Dorvan.ini" lives: beside the program when that folder (and a file
// already there) can be written, else in the user's configuration folder
// ($XDG_CONFIG_HOME or ~/.config, under "Dorvan").
std::string LocalIni(const std::string& dirPrograma);

// Finds a program on PATH (replaceable in tests).
using AchaPrograma = std::function<std::string(const std::string&)>;

// Reads the keys in their fixed order, with their defaults; directories that do
// not exist fall back as the settings table says. cfg.DirPrograma must be set.
void LeConfiguracao(Configuracao& cfg, const ArquivoIni& ini, const AchaPrograma& acha);
// Puts every key that exit writes back into ini, in the fixed order for a new file.
void GravaConfiguracao(const Configuracao& cfg, ArquivoIni& ini);

// Start-up: the program's folders, companion programs, then "Dorvan.ini". A file
// that cannot be read shows "Sem permissão para acessar <file>" and defaults stay.
void IniciaConfiguracao(Configuracao& cfg, const std::string& caminhoPrograma, const AchaPrograma& acha);
// Exit: writes "Dorvan.ini" keeping keys of other owners; on failure shows
// "Sem direitos de gravação para atualizar <file>" and returns false.
bool SalvaConfiguracao(const Configuracao& cfg);

// ---- command line -----------------------------------------------------------

struct ComandoInicial {
    enum class Tipo { Nenhum, Tabela, DEF, SQL, DBF };
    Tipo tipo = Tipo::Nenhum;
    std::string arquivo;
};
// Only a single argument naming an existing file counts, by its extension in any
// case; ".sql" only while the SQL command is available.
ComandoInicial InterpretaLinhaComando(const std::vector<std::string>& argumentos, bool sqlDisponivel);

// ---- desktop associations -------------------------------------------------------

// The command the desktop opens files of this extension with ("tab", "xls"), with
// its file placeholders and trailing blanks removed; empty when none.
std::string ProgramaAssociado(const std::string& extensao);
// Likewise for addresses of a scheme ("mailto"): the program that opens them. The
// lookup of DefineConsultaAssociacao gets the scheme followed by ':'.
std::string ProgramaDoEsquema(const std::string& esquema);
// Tests and start-up may answer the lookups themselves.
void DefineConsultaAssociacao(std::function<std::string(const std::string&)> consulta);

// The MIME type of the program's tables.
inline constexpr const char* TipoMimeTab = "application/x-dorvan-tab";

// Registers, for the user, the MIME type of .tab files, a desktop entry that opens
// them with caminhoPrograma and makes it their default; then says
// "Os arquivos com extensão .tab foram associados a <program>". False (with the
// system's reason) when a file could not be written.
bool AssociaExtensao(const std::string& caminhoPrograma);
// "Associar extensão .TAB": asks "Atualmente associado a <command>: Sobrepor?"
// when another program holds the extension.
void ExtensaoTAB(const std::string& caminhoPrograma);

// ---- closing a table and leaving ------------------------------------------------

// Chooses the file to save into; empty = the dialog was cancelled.
using EscolheArquivo = std::function<std::string()>;

// Offers to save a modified table ("Salvar Tabela Atual?"), then frees it and
// resets the titles, notes and map settings. False when the user chose to save
// and the save dialog was cancelled or the save failed: the table stays as it was.
bool FechaTabela(TabelaResultados& t, const std::vector<std::string>& log, std::string& dirSalva,
                 const EscolheArquivo& escolhe);

// Before leaving: with a modified table asks "Salvar a tabela atual?" ("&Sim",
// "&Não", "&Cancela"). False when the program keeps running: "&Cancela", a
// cancelled save dialog or a failed save.
bool PodeSair(TabelaResultados& t, const std::vector<std::string>& log, std::string& dirSalva,
              const EscolheArquivo& escolhe);

} // namespace dorvan
