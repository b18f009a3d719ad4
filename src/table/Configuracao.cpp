#include "table/Configuracao.h"

#include "platform/Arquivos.h"
#include "platform/Erros.h"
#include "platform/Mensagens.h"
#include "platform/Processos.h"
#include "platform/Texto1252.h"
#include "table/TabelaArquivo.h"

#include <QMimeDatabase>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;

namespace dorvan {

namespace {

// Splits at the first separador: the part before it goes into parte.
void SeparaPor(std::string& texto, char separador, std::string& parte) {
    std::size_t p = texto.find(separador);
    if (p == std::string::npos) {
        parte = texto;
        texto.clear();
    } else {
        parte = texto.substr(0, p);
        texto.erase(0, p + 1);
    }
}

bool ExisteArquivo(const std::string& nome) {
    std::error_code e;
    return fs::is_regular_file(nome, e);
}

bool ExistePasta(const std::string& nome) {
    std::error_code e;
    return !nome.empty() && fs::is_directory(nome, e);
}

std::string ComBarra(std::string pasta) {
    if (!pasta.empty() && pasta.back() != '/') pasta += '/';
    return pasta;
}

std::string Ambiente(const char* nome) {
    const char* v = std::getenv(nome);
    return v ? std::string(v) : std::string();
}

std::string PastaConfiguracaoUsuario() {
    std::string c = Ambiente("XDG_CONFIG_HOME");
    return c.empty() ? Ambiente("HOME") + "/.config" : c;
}

std::string PastaDadosUsuario() {
    std::string d = Ambiente("XDG_DATA_HOME");
    return d.empty() ? Ambiente("HOME") + "/.local/share" : d;
}

std::vector<std::string> ListaPastas(const std::string& variavel, const std::string& padrao) {
    std::string v = Ambiente(variavel.c_str());
    if (v.empty()) v = padrao;
    std::vector<std::string> r;
    std::string parte;
    for (std::string resto = v; !resto.empty();) {
        SeparaPor(resto, ':', parte);
        if (!parte.empty()) r.push_back(parte);
    }
    return r;
}

// ---- key files of the desktop (mimeapps.list, .desktop): "[section]" and "key=value" lines, LF ends.

std::string ValorChave(const std::string& texto, const std::string& secao, const std::string& chave) {
    std::string atual;
    std::size_t i = 0;
    while (i < texto.size()) {
        std::size_t f = texto.find('\n', i);
        if (f == std::string::npos) f = texto.size();
        std::string l = texto.substr(i, f - i);
        if (!l.empty() && l.back() == '\r') l.pop_back();
        i = f + 1;
        if (!l.empty() && l[0] == '[') {
            atual = l.substr(1, l.find(']') == std::string::npos ? std::string::npos : l.find(']') - 1);
        } else if (atual == secao) {
            std::size_t igual = l.find('=');
            if (igual == std::string::npos) continue;
            std::string k = l.substr(0, igual);
            while (!k.empty() && k.back() == ' ') k.pop_back();
            if (k == chave) {
                std::string v = l.substr(igual + 1);
                while (!v.empty() && v.front() == ' ') v.erase(0, 1);
                return v;
            }
        }
    }
    return {};
}

// Sets key=value in section, adding the section at the end when absent.
std::string DefineValorChave(const std::string& texto, const std::string& secao, const std::string& chave,
                             const std::string& valor) {
    std::vector<std::string> linhas;
    std::size_t i = 0;
    while (i < texto.size()) {
        std::size_t f = texto.find('\n', i);
        if (f == std::string::npos) f = texto.size();
        linhas.push_back(texto.substr(i, f - i));
        i = f + 1;
    }
    std::string atual;
    long inicioSecao = -1, fimSecao = -1;
    for (std::size_t k = 0; k < linhas.size(); ++k) {
        const std::string& l = linhas[k];
        if (!l.empty() && l[0] == '[') {
            atual = l.substr(1, l.find(']') == std::string::npos ? std::string::npos : l.find(']') - 1);
            if (atual == secao) inicioSecao = static_cast<long>(k);
            continue;
        }
        if (atual != secao) continue;
        fimSecao = static_cast<long>(k);
        std::size_t igual = l.find('=');
        if (igual != std::string::npos && l.substr(0, igual) == chave) {
            linhas[k] = chave + "=" + valor;
            inicioSecao = -2;
            break;
        }
    }
    if (inicioSecao == -1) {
        if (!linhas.empty() && !linhas.back().empty()) linhas.emplace_back();
        linhas.push_back("[" + secao + "]");
        linhas.push_back(chave + "=" + valor);
    } else if (inicioSecao >= 0) {
        long depois = std::max(inicioSecao, fimSecao) + 1;
        // Blank lines closing the section stay after the new key.
        while (depois - 1 > inicioSecao && linhas[static_cast<std::size_t>(depois - 1)].empty()) --depois;
        linhas.insert(linhas.begin() + depois, chave + "=" + valor);
    }
    std::string r;
    for (const std::string& l : linhas) r += l + "\n";
    return r;
}

std::string LeTextoOuVazio(const std::string& nome) {
    try {
        return ExisteArquivo(nome) ? LeArquivoInteiro(nome) : std::string();
    } catch (const ErroES&) {
        return {};
    }
}

std::vector<std::string> PastasAplicacoes() {
    std::vector<std::string> r{PastaDadosUsuario() + "/applications"};
    for (const std::string& d : ListaPastas("XDG_DATA_DIRS", "/usr/local/share:/usr/share")) r.push_back(d + "/applications");
    return r;
}

std::string AchaDesktop(const std::string& desktop) {
    for (const std::string& p : PastasAplicacoes())
        if (ExisteArquivo(p + "/" + desktop)) return p + "/" + desktop;
    return {};
}

// The first entry of a ';' list whose desktop file exists.
std::string PrimeiroDesktop(const std::string& lista) {
    std::string resto = lista, parte;
    while (!resto.empty()) {
        SeparaPor(resto, ';', parte);
        if (!parte.empty() && !AchaDesktop(parte).empty()) return parte;
    }
    return {};
}

std::string DesktopPadrao(const std::string& mime) {
    std::vector<std::string> listas{PastaConfiguracaoUsuario() + "/mimeapps.list"};
    for (const std::string& d : ListaPastas("XDG_CONFIG_DIRS", "/etc/xdg")) listas.push_back(d + "/mimeapps.list");
    for (const std::string& p : PastasAplicacoes()) listas.push_back(p + "/mimeapps.list");
    for (const char* secao : {"Default Applications", "Added Associations"})
        for (const std::string& l : listas) {
            std::string d = PrimeiroDesktop(ValorChave(LeTextoOuVazio(l), secao, mime));
            if (!d.empty()) return d;
        }
    for (const std::string& p : PastasAplicacoes()) {
        std::string d = PrimeiroDesktop(ValorChave(LeTextoOuVazio(p + "/mimeinfo.cache"), "MIME Cache", mime));
        if (!d.empty()) return d;
    }
    return {};
}

std::string ComandoDoDesktop(const std::string& desktop) {
    std::string exec = ValorChave(LeTextoOuVazio(AchaDesktop(desktop)), "Desktop Entry", "Exec");
    std::string r;
    for (std::size_t i = 0; i < exec.size(); ++i) {
        if (exec[i] == '%' && i + 1 < exec.size()) {
            if (exec[i + 1] == '%') r += '%';
            ++i; // field codes (%f, %U, ...) stand for the files
            continue;
        }
        r += exec[i];
    }
    while (!r.empty() && r.back() == ' ') r.pop_back();
    return r;
}

std::function<std::string(const std::string&)>& ConsultaAssociacao() {
    static std::function<std::string(const std::string&)> c;
    return c;
}

std::string SemAspas(std::string s) {
    std::string r;
    for (char ch : s)
        if (ch != '"') r += ch;
    return r;
}

// Exec value of a desktop entry: the program quoted, with the characters that
// quoting protects escaped.
std::string ExecCitado(const std::string& programa) {
    std::string r = "\"";
    for (char ch : programa) {
        if (ch == '"' || ch == '`' || ch == '$' || ch == '\\') r += '\\';
        r += ch;
    }
    return r + "\"";
}

} // namespace

Configuracao& ConfiguracaoAtual() {
    static Configuracao c;
    return c;
}

std::string LocalIni(const std::string& dirPrograma) {
    const std::string beside = ComBarra(dirPrograma) + "Dorvan.ini";
    bool podePasta = !dirPrograma.empty() && access(dirPrograma.c_str(), W_OK) == 0;
    bool podeArquivo = !ExisteArquivo(beside) || access(beside.c_str(), W_OK) == 0;
    if (podePasta && podeArquivo) return beside;
    return PastaConfiguracaoUsuario() + "/Dorvan/Dorvan.ini";
}

void LeConfiguracao(Configuracao& cfg, const ArquivoIni& ini, const AchaPrograma& acha) {
    auto pasta = [&](const char* chave, const std::string& padrao) {
        std::string v = ini.LeTexto("Diretorios", chave, padrao);
        return ExistePasta(v) ? ComBarra(v) : padrao;
    };
    cfg.DirMapas = pasta("Mapas", cfg.DirPrograma);
    cfg.DirSalva = pasta("Salva", "");
    cfg.DirDados = pasta("Dados", "");
    cfg.DirRX = pasta("RX", cfg.DirPrograma);
    auto limites = [&](const char* secao, Limites& l) {
        l.Top = ini.LeInteiro(secao, "Top", l.Top);
        l.Left = ini.LeInteiro(secao, "Left", l.Left);
        l.Width = ini.LeInteiro(secao, "Width", l.Width);
        l.Height = ini.LeInteiro(secao, "Height", l.Height);
    };
    limites("RGrafico", cfg.RGrafico);
    cfg.RGraficoStretch = ini.LeBooleano("RGrafico", "Stretch", true);
    if (cfg.SQLDisponivel) limites("fQuery", cfg.FQuery);
    cfg.DBFcomCP850 = ini.LeBooleano("Opcoes", "DBF_CP850", true);
    cfg.FonteFixa = ini.LeTexto("Opcoes", "FontFixa", "Courier New").substr(0, 255);
    cfg.ModoSeguro = ini.LeBooleano("Opcoes", "ModoSeguro", true);
    cfg.MostraLog = ini.LeBooleano("Opcoes", "MostraLog", true);
    cfg.EnderecoSuporte = ini.LeTexto("Opcoes", "Suporte", "");
    cfg.ProgramaXSLT = ini.LeTexto("Opcoes", "XSLT", "");
    if (cfg.ProgramaXSLT.empty()) {
        if (ExisteArquivo(cfg.DirPrograma + "xsltproc"))
            cfg.ProgramaXSLT = cfg.DirPrograma + "xsltproc";
        else if (acha)
            cfg.ProgramaXSLT = acha("xsltproc");
        cfg.XSLTDoPath = !cfg.ProgramaXSLT.empty() && cfg.ProgramaXSLT != cfg.DirPrograma + "xsltproc";
    }
}

void GravaConfiguracao(const Configuracao& cfg, ArquivoIni& ini) {
    ini.GravaTexto("Diretorios", "Mapas", cfg.DirMapas);
    ini.GravaTexto("Diretorios", "Salva", cfg.DirSalva);
    ini.GravaTexto("Diretorios", "Dados", cfg.DirDados);
    ini.GravaTexto("Diretorios", "RX", cfg.DirRX);
    auto limites = [&](const char* secao, const Limites& l) {
        ini.GravaInteiro(secao, "Top", l.Top);
        ini.GravaInteiro(secao, "Left", l.Left);
        ini.GravaInteiro(secao, "Width", l.Width);
        ini.GravaInteiro(secao, "Height", l.Height);
    };
    limites("RGrafico", cfg.RGrafico);
    ini.GravaBooleano("RGrafico", "Stretch", cfg.RGraficoStretch);
    if (cfg.SQLDisponivel) limites("fQuery", cfg.FQuery);
    ini.GravaBooleano("Opcoes", "DBF_CP850", cfg.DBFcomCP850);
    ini.GravaTexto("Opcoes", "FontFixa", cfg.FonteFixa);
    if (!cfg.ProgramaXSLT.empty() && !cfg.XSLTDoPath) ini.GravaTexto("Opcoes", "XSLT", cfg.ProgramaXSLT);
    ini.GravaBooleano("Opcoes", "MostraLog", cfg.MostraLog);
}

void IniciaConfiguracao(Configuracao& cfg, const std::string& caminhoPrograma, const AchaPrograma& acha) {
    std::error_code e;
    fs::path caminho = fs::absolute(caminhoPrograma, e);
    cfg.CaminhoPrograma = caminho.lexically_normal().string();
    cfg.DirPrograma = ComBarra(caminho.parent_path().string());

    cfg.TemPalm = ExisteArquivo(cfg.DirPrograma + "csv2pdb") && !ProgramaAssociado("pdb").empty();

    // R beside the program, else the one on PATH.
    cfg.DirR.clear();
    if (ExisteArquivo(cfg.DirPrograma + "R/bin/R"))
        cfg.DirR = cfg.DirPrograma + "R/bin/";
    else if (acha) {
        std::string r = acha("R");
        if (!r.empty()) cfg.DirR = DiretorioDe(r);
    }
    cfg.TemR = !cfg.DirR.empty();

    // Files of fixed names go to a folder of this run and user: in the shared
    // temporary folder another user could have put a link under such a name.
    try {
        cfg.DirTrabalho = PastaDaExecucao();
    } catch (const ErroES&) {
        cfg.DirTrabalho = cfg.DirPrograma;
    }
    cfg.TemPlanilha = !ProgramaAssociado("xls").empty();

    cfg.ArquivoIni = LocalIni(cfg.DirPrograma);
    std::string leitura = cfg.ArquivoIni;
    // A user without write access to the program's folder starts from the
    // settings installed beside the program.
    if (!ExisteArquivo(leitura) && ExisteArquivo(cfg.DirPrograma + "Dorvan.ini")) leitura = cfg.DirPrograma + "Dorvan.ini";
    ArquivoIni ini(leitura);
    try {
        ini.Le();
    } catch (const ErroES&) {
        MensagensAtuais().Mostra("Sem permiss\xE3o para acessar " + DeUtf8(leitura));
        ini = ArquivoIni(leitura);
    }
    LeConfiguracao(cfg, ini, acha);
    cfg.TemUXT = ExisteArquivo(cfg.DirPrograma + ProgramaUXT);
    cfg.TemNovidades = ExisteArquivo(cfg.DirPrograma + "DocDorvan.htm");
}

bool SalvaConfiguracao(const Configuracao& cfg) {
    ArquivoIni ini(cfg.ArquivoIni);
    try {
        ini.Le(); // keys of other owners (aliases, window places) stay
    } catch (const ErroES&) {
        ini = ArquivoIni(cfg.ArquivoIni);
    }
    GravaConfiguracao(cfg, ini);
    try {
        std::error_code e;
        fs::create_directories(fs::path(cfg.ArquivoIni).parent_path(), e);
        ini.Grava();
    } catch (const ErroES&) {
        MensagensAtuais().Mostra("Sem direitos de grava\xE7\xE3o para atualizar " + DeUtf8(cfg.ArquivoIni));
        return false;
    }
    return true;
}

ComandoInicial InterpretaLinhaComando(const std::vector<std::string>& argumentos, bool sqlDisponivel) {
    ComandoInicial c;
    if (argumentos.size() != 1 || !ExisteArquivo(argumentos[0])) return c;
    const std::string ext = ExtensaoMaiuscula(argumentos[0]);
    using T = ComandoInicial::Tipo;
    if (ext == ".TAB")
        c.tipo = T::Tabela;
    else if (ext == ".DEF")
        c.tipo = T::DEF;
    else if (ext == ".SQL" && sqlDisponivel)
        c.tipo = T::SQL;
    else if (ext == ".DBF")
        c.tipo = T::DBF;
    if (c.tipo != T::Nenhum) c.arquivo = argumentos[0];
    return c;
}

void DefineConsultaAssociacao(std::function<std::string(const std::string&)> consulta) {
    ConsultaAssociacao() = std::move(consulta);
}

std::string ProgramaAssociado(const std::string& extensao) {
    if (ConsultaAssociacao()) return ConsultaAssociacao()(extensao);
    std::string mime;
    if (MaiusculasAscii(extensao) == "TAB") {
        mime = TipoMimeTab;
    } else {
        QMimeType t = QMimeDatabase().mimeTypeForFile(QStringLiteral("x.") + QString::fromUtf8(extensao),
                                                      QMimeDatabase::MatchExtension);
        if (!t.isValid() || t.isDefault()) return {};
        mime = t.name().toStdString();
    }
    std::string desktop = DesktopPadrao(mime);
    return desktop.empty() ? std::string() : ComandoDoDesktop(desktop);
}

std::string ProgramaDoEsquema(const std::string& esquema) {
    if (ConsultaAssociacao()) return ConsultaAssociacao()(esquema + ":");
    std::string desktop = DesktopPadrao("x-scheme-handler/" + esquema);
    return desktop.empty() ? std::string() : ComandoDoDesktop(desktop);
}

bool AssociaExtensao(const std::string& caminhoPrograma) {
    const std::string dados = PastaDadosUsuario();
    const std::string config = PastaConfiguracaoUsuario();
    const std::string desktop = "dorvan.desktop";
    try {
        std::error_code e;
        fs::create_directories(dados + "/mime/packages", e);
        fs::create_directories(dados + "/applications", e);
        fs::create_directories(config, e);
        GravaArquivoInteiro(dados + "/mime/packages/x-dorvan-tab.xml",
                            std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                        "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
                                        "  <mime-type type=\"") +
                                TipoMimeTab +
                                "\">\n"
                                "    <comment>Arquivos Dorvan</comment>\n"
                                "    <glob pattern=\"*.tab\"/>\n"
                                "  </mime-type>\n"
                                "</mime-info>\n");
        GravaArquivoInteiro(dados + "/applications/" + desktop,
                            "[Desktop Entry]\nType=Application\nName=Dorvan\nComment=Arquivos Dorvan\nExec=" +
                                ExecCitado(caminhoPrograma) + " %f\nTerminal=false\nMimeType=" + TipoMimeTab +
                                ";\n");
        const std::string lista = config + "/mimeapps.list";
        GravaArquivoInteiro(lista, DefineValorChave(LeTextoOuVazio(lista), "Default Applications", TipoMimeTab,
                                                    desktop + ";"));
    } catch (const ErroES& e) {
        MensagensAtuais().Mostra(e.what());
        return false;
    }
    // The desktop's caches follow when their tools are installed.
    if (std::string u = AchaNoPath("update-mime-database"); !u.empty())
        ExecutaComArgumentos(u, {dados + "/mime"}, true);
    if (std::string u = AchaNoPath("update-desktop-database"); !u.empty())
        ExecutaComArgumentos(u, {dados + "/applications"}, true);
    MensagensAtuais().Mostra("Os arquivos com extens\xE3o .tab foram associados a " + DeUtf8(caminhoPrograma));
    return true;
}

void ExtensaoTAB(const std::string& caminhoPrograma) {
    std::string atual = ProgramaAssociado("tab");
    if (!atual.empty() && SemAspas(atual) != caminhoPrograma &&
        !MensagensAtuais().SimOuNao("Registro da extens\xE3o TAB",
                                    "Atualmente associado a " + DeUtf8(atual) + ": Sobrepor?"))
        return;
    AssociaExtensao(caminhoPrograma);
}

namespace {

// Saves through the save dialog; false when cancelled or not saved.
bool SalvaEscolhendo(TabelaResultados& t, const std::vector<std::string>& log, std::string& dirSalva,
                     const EscolheArquivo& escolhe) {
    std::string arquivo = escolhe ? escolhe() : std::string();
    if (arquivo.empty()) return false;
    try {
        return SalvaComo(t, arquivo, log, dirSalva);
    } catch (const std::exception& e) {
        MensagensAtuais().Mostra(e.what());
        return false;
    }
}

} // namespace

bool FechaTabela(TabelaResultados& t, const std::vector<std::string>& log, std::string& dirSalva,
                 const EscolheArquivo& escolhe) {
    if (t.NumLinhas > 0 && t.Modificada && MensagensAtuais().SimOuNao("", "Salvar Tabela Atual?") &&
        !SalvaEscolhendo(t, log, dirSalva, escolhe))
        return false;
    LiberaTabela(t);
    t.Titulo1.clear();
    t.Titulo2.clear();
    t.Rodape.clear();
    t.NomeMapa.clear();
    t.TamCodigo = SemCodigo;
    t.MostraCodigo = true;
    t.SemClasses = true;
    t.ColunaOrdem = 0;
    t.OrdemDecrescente = false;
    t.Modificada = false;
    return true;
}

bool PodeSair(TabelaResultados& t, const std::vector<std::string>& log, std::string& dirSalva,
              const EscolheArquivo& escolhe) {
    if (t.NumLinhas <= 0 || !t.Modificada) return true;
    int r = MensagensAtuais().Confirma("Confirme", "Salvar a tabela atual?", {"&Sim", "&N\xE3o", "&Cancela"});
    if (r == 1) return true;
    if (r != 0) return false;
    return SalvaEscolhendo(t, log, dirSalva, escolhe);
}

} // namespace dorvan
