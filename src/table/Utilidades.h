#pragma once
// Small routines every room shares: text replacement and splitting, path slashes,
// starting other programs, opening documents, elapsed time. Text is 1252 bytes.
#include <QDateTime>
#include <QTime>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace dorvan {

// An outside program could not be started; the text is what the user is shown.
class ErroPrograma : public std::runtime_error {
public:
    ErroPrograma(const std::string& mensagem, int codigo) : std::runtime_error(mensagem), codigo_(codigo) {}
    int Codigo() const { return codigo_; }

private:
    int codigo_;
};

// Replaces every occurrence of antigo by novo until none is left. A replacement
// that would never end (antigo inside novo, or an empty antigo) returns texto as it is.
std::string SubstituiTodos(const std::string& texto, const std::string& antigo, const std::string& novo);

// '\' into '/' (paths handed to R) and back.
std::string BarraParaFrente(std::string s);
std::string BarraParaTras(std::string s);

// The system's temporary folder.
std::string DiretorioTemporario();

// True when caminho (one trailing slash of either kind ignored) names a folder.
bool DiretorioExiste(const std::string& caminho);

// Show-window codes callers pass on; windows of other programs take care of themselves here.
constexpr int SW_ESCONDIDA = 0;
constexpr int SW_NORMAL = 5;

// Starts programa with its arguments (never through a shell). With espera, waits for
// it to end and returns its exit code, letting the windows repaint meanwhile; else 0
// at once. Throws ErroPrograma "Falha ao executar programa. Código de erro <n>" with
// the system's error number when it cannot be started.
int ExecutaPrograma(const std::string& programa, const std::vector<std::string>& argumentos, int modoJanela,
                    bool espera);

// Called about every 20 ms while ExecutaPrograma waits. By default it lets pending
// paint events run when an application object exists; user input waits, as the
// program being waited for owns the user's attention.
void DefineEnquantoEspera(std::function<void()> f);

// Opens a document, folder or web page with the desktop's associated program. The
// opener answers like the shell: above 32 is success, else an error code.
using AbridorDocumentos = std::function<int(const std::string&)>;
void DefineAbridorDocumentos(AbridorDocumentos abridor);
// Shows "Erro em ExploreWeb" (or "Error ExploreWeb") message boxes on failure.
void ExploreWeb(const std::string& arquivo);
// The code the shell would give before trying: 2 missing file, 3 missing folder, 0 when worth trying.
int VerificaDocumento(const std::string& arquivo);

// Milliseconds between the times of day of inicio and fim; a fim hour below
// inicio's counts as the next day.
long long MilissegundosEntre(const QTime& inicio, const QTime& fim);
long long MilissegundosEntre(const QDateTime& inicio, const QDateTime& fim);

// b raised to a, as e^(a ln b); 0 when b <= 0.
double Potencia(double a, double b);

// Takes the next field of linha from cursor on (leading blanks skipped). A field
// that opens with '"' runs to the first separador after its closing quote; campo
// keeps the quotes. The cursor moves past the separador, or to the end of the line.
void LeCampoCSV(std::string_view linha, std::size_t& cursor, char separador, std::string& campo);

// What a number field of a separated table may hold: digits, signs and exponent
// letters kept, the file's decimal marca made '.', everything else (thousands
// separators, blanks, quotes) dropped.
std::string FiltraNumeroCSV(std::string_view campo, char marca);
// The value of a filtered field: 0 when empty, not a number or not finite; a
// field with junk after its number gives the number it starts with.
double ValorNumeroCSV(const std::string& filtrado);

// parte := text before the first separador, texto := what follows it; with no
// separador, parte := texto and texto := empty.
void SeparaEm(std::string& texto, std::string_view separador, std::string& parte);

// Drops leading blanks from texto; false when nothing is left; else moves the
// characters up to the next blank into palavra.
bool ProximaPalavra(std::string& texto, std::string& palavra);

// The words of texto: the runs of characters between blanks, in order, as
// ProximaPalavra gives them one by one, in one pass over the text.
std::vector<std::string> Palavras(std::string_view texto);

// s without c: modo 'A' everywhere, 'L' leading, 'R' trailing, 'B' both ends;
// any other modo leaves s as it is.
std::string TiraCaractere(char modo, char c, const std::string& s);

// n blanks (none when n <= 0).
std::string Brancos(int n);

inline int Minimo(int a, int b) { return a < b ? a : b; }
inline int Maximo(int a, int b) { return a > b ? a : b; }

// The "mailto:" address of "Enviar para ...": the support address and the table's
// title as subject, both 1252 text, sent as UTF-8 with every byte that is not a
// letter, digit, '-', '.', '_' or '~' (and '@' in the address) percent-encoded,
// so a title cannot add fields ("&body=", "&attach=") of its own. The whole
// address is at most 120 characters, cut between characters, never inside one.
std::string EnderecoEnviarPara(const std::string& endereco, const std::string& titulo);

// What the editors' find boxes say when the text is not found.
std::string MensagemNaoEncontrada(const std::string& busca);

} // namespace dorvan
