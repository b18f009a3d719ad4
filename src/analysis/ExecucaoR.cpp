#include "analysis/ExecucaoR.h"

#include "data/LeXML.h"
#include "output/GravaTexto.h"
#include "platform/Arquivos.h"
#include "platform/Erros.h"
#include "platform/Processos.h"
#include "platform/Texto1252.h"
#include "table/Utilidades.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace dorvan {

namespace {

bool ExisteArquivo(const std::string& nome) {
    std::error_code ec;
    return fs::is_regular_file(nome, ec);
}

void Remove(const std::string& nome) {
    std::error_code ec;
    fs::remove(nome, ec);
}

std::string ComBarra(std::string pasta) {
    if (!pasta.empty() && pasta.back() != '/') pasta += '/';
    return pasta;
}

// Each byte as the Latin-1 character of the same number, so R's Latin-1
// connections give back exactly the bytes of the code.
std::string Latin1ParaUtf8(const std::string& s) {
    std::string r;
    r.reserve(s.size() + s.size() / 8);
    for (unsigned char c : s) {
        if (c < 0x80) {
            r += static_cast<char>(c);
        } else {
            r += static_cast<char>(0xC0 | (c >> 6));
            r += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return r;
}

// "source("<P>autoexec.r")" when the installation has that file, P being the
// program folder as R writes paths.
std::string FonteDaInstalacao(const AmbienteR& amb, const char* arquivo) {
    if (!ExisteArquivo(amb.DirPrograma + arquivo)) return {};
    return "source(" + LiteralR(BarraParaFrente(DeUtf8(amb.DirPrograma)) + arquivo) + ")\n";
}

std::string ListaColunas(const std::vector<std::int32_t>& colunas) {
    std::string s;
    for (std::size_t i = 0; i < colunas.size(); ++i) {
        if (i > 0) s += ',';
        s += std::to_string(colunas[i]);
    }
    return s;
}

} // namespace

std::optional<DadosBrowseR>& TabelaDoBrowse() {
    static std::optional<DadosBrowseR> dados;
    return dados;
}

std::optional<std::string> ComporPerfilR(const EsquemaR& esquema, TabelaResultados& t, const AmbienteR& amb,
                                         const std::string& pasta, const DadosBrowseR* browse,
                                         const PerguntasR& perguntas) {
    // R works in the user's folder; the run's own files are named by full path.
    auto daExecucao = [&](const char* arquivo) { return LiteralR(BarraParaFrente(DeUtf8(pasta)) + arquivo); };
    std::string c = std::string(LinhaCodificacaoR) + "\n";
    c += FonteDaInstalacao(amb, "autoexec.r");
    c += "sink(" + daExecucao(SaidaScriptR) + ")\n";
    // Titles are the user's text: quoted so that no title can end the string early.
    auto texto = [](const std::string& v) { return LiteralR(BarraParaFrente(v)); };
    c += "titulo=" + texto(t.Titulo1) + "\n";
    c += "subtitulo=" + texto(t.Titulo2) + "\n";
    c += "rodape=" + texto(t.Rodape) + "\n";
    c += "nomemapa=" + texto(t.NomeMapa) + "\n";

    if (browse) {
        if (browse->GravaCSV) browse->GravaCSV();
        const std::string csv = fs::path(browse->ArquivoDBF).replace_extension(".csv").string();
        c += "tabela = read.csv(" + LiteralR(BarraParaFrente(DeUtf8(csv))) + ",check.names=FALSE)\n";
    } else if (t.NumLinhas > 1) {
        GravaTabelaR(t, pasta + EntradaR);
        c += "tabela = read.table(" + daExecucao(EntradaR) + ",check.names=FALSE)\n";
    }

    auto colunas = [&](const std::string& pergunta, const char* variavel) {
        if (pergunta.empty()) return true;
        if (!browse && t.NumColunas() == 0) return true;
        if (!browse && t.NumColunas() == 1) {
            c += std::string(variavel) + "=1\n";
            return true;
        }
        if (!perguntas.Marca) return false;
        const auto marcadas = perguntas.Marca(pergunta, browse != nullptr);
        if (!marcadas) return false;
        if (!marcadas->empty()) c += std::string(variavel) + "=c(" + ListaColunas(*marcadas) + ")\n";
        return true;
    };
    auto parametro = [&](const std::string& pergunta, const char* variavel, const char* titulo) {
        if (pergunta.empty()) return true;
        if (!perguntas.Parametro) return false;
        const auto valor = perguntas.Parametro(titulo, pergunta);
        if (!valor) return false;
        c += std::string(variavel) + "=" + LiteralR(*valor) + "\n";
        return true;
    };
    if (!colunas(esquema.colsel, "colsel")) return std::nullopt;
    if (!colunas(esquema.colsel2, "colsel2")) return std::nullopt;
    if (!parametro(esquema.parametro, "parametro", "Entre parametro")) return std::nullopt;
    if (!parametro(esquema.parametro2, "parametro2", "Entre parametro2")) return std::nullopt;

    // The plots: one numbered picture per page. svglite writes text as text, which
    // the viewer draws; without that package the pictures are bitmaps, and the
    // output says so.
    c += "grafico.dorvan = function(fundo=\"white\", largura=7){\n"
         "  library(graphics);\n"
         "  if (requireNamespace(\"svglite\", quietly=TRUE)) {\n"
         "    svglite::svglite(\"dorvan%02d.svg\", width=largura, height=largura, bg=fundo)\n"
         "  } else {\n"
         "    png(\"dorvan%02d.png\", width=largura, height=largura, units=\"in\", res=96, bg=fundo)\n"
         "    cat(" +
         LiteralR(AvisoGraficosPNG) +
         ", \"\\n\", sep=\"\")\n"
         "  }\n"
         "  par(bg=fundo)\n"
         "}\n";
    // The returned table: the four keyed lines, then the table with row names.
    c += "carrega.dorvan = function(tabela) {\n"
         "  zz = file(\"dorvan.out\",\"w\");\n"
         "  cat(\"Titulo1=\",titulo,\"\\n\",file=zz);\n"
         "  cat(\"Titulo2=\",subtitulo,\"\\n\",file=zz);\n"
         "  cat(\"Rodape=\",rodape,\"\\n\",file=zz);\n"
         "  cat(\"Nomemapa=\",nomemapa,\"\\n\",file=zz);\n"
         "  close(zz);\n"
         "  write.table(tabela,\"dorvan.out\",sep=\",\", col.names=NA, append=TRUE)\n"
         "}\n";
    c += DesfazEntidadesXML(esquema.script) + "\n";
    c += "q()\n";
    return c;
}

std::string ComporPerfilInterativoR(const TabelaResultados& t, const AmbienteR& amb, const std::string& pasta) {
    const std::string p = BarraParaFrente(DeUtf8(amb.DirPrograma));
    std::string c = std::string(LinhaCodificacaoR) + "\n";
    c += FonteDaInstalacao(amb, "autoexec.r");
    if (t.NumLinhas > 1) {
        GravaTabelaR(t, pasta + EntradaR);
        // .First runs before the session attaches its default packages.
        c += "library(utils)\n";
        c += ".First = function() {tabela <<- read.table(\"dorvan.in\",check.names=FALSE);\n";
        c += "titulo <<- " + LiteralR(t.Titulo1) + ";\n";
        c += "subtitulo <<- " + LiteralR(t.Titulo2) + ";\n";
        c += "rodape <<- " + LiteralR(t.Rodape) + ";\n";
        c += "nomemapa <<- " + LiteralR(BarraParaFrente(t.NomeMapa)) + ";\n";
        c += " cat(\"\\n   Dados carregados em \\\"tabela\\\"!\\n\\n\")}\n";
    }
    c += "dirdorvan <<- " + LiteralR(p) + ";\n";
    c += FonteDaInstalacao(amb, "menu.r");
    return c;
}

void GravaPerfilR(const std::string& pasta, const std::string& codigo1252) {
    // A start-up file under another letter case would be a second, stale one.
    for (const std::string& nome : ListaArquivos(pasta, PerfilR))
        if (nome != PerfilR) Remove(pasta + nome);
    GravaArquivoInteiro(pasta + PerfilR, Latin1ParaUtf8(codigo1252));
}

std::string PastaAtual() {
    std::error_code ec;
    return ComBarra(fs::current_path(ec).string());
}

bool MudaPastaAtual(const std::string& pasta) {
    if (pasta.empty() || !DiretorioExiste(pasta)) return false;
    std::error_code ec;
    fs::current_path(pasta, ec);
    return !ec;
}

std::optional<PreparoR> PreparaExecucaoR(const std::string& nomeEsquema, TabelaResultados& t, const AmbienteR& amb,
                                         const DadosBrowseR* browse, const PerguntasR& perguntas) {
    MudaPastaAtual(amb.DirDados);
    PreparoR preparo;
    preparo.pasta = PastaAtual();
    const EsquemaR esquema = LeEsquemaR(amb.DirRX + ParaUtf8(nomeEsquema));
    // R's start-up file must not stay where a later R session would read it.
    preparo.privada = std::make_shared<PastaPrivada>(DiretorioTemporario(), "dorvanR-");
    const auto codigo = ComporPerfilR(esquema, t, amb, preparo.PastaDoR(), browse, perguntas);
    if (!codigo) return std::nullopt;
    preparo.inicio = QTime::currentTime();
    GravaPerfilR(preparo.PastaDoR(), *codigo);
    for (const std::string& nome : GraficosR(preparo.pasta))
        Remove(preparo.pasta + nome);
    return preparo;
}

bool RodaLoteR(const AmbienteR& amb, const PreparoR& preparo, const std::function<void()>& enquantoEspera) {
    const std::string programa = amb.DirR + ProgramaLoteR;
    if (!ExisteArquivo(programa)) return false;
    // The code runs as a script file, after R has attached its usual packages, with
    // the user's folder as R's working folder: what a scheme reads or writes by a
    // relative name is there. No start-up file is read, neither the user's own nor
    // one that happens to lie in that folder.
    const ResultadoPrograma r =
        ExecutaComArgumentos(programa, {"--no-restore", "--no-save", "--no-init-file", preparo.PastaDoR() + PerfilR},
                             true, preparo.pasta, enquantoEspera);
    return r.iniciou;
}

ResultadoR ColheResultadoR(const PreparoR& preparo, const AmbienteR& amb, const QTime& fim) {
    Remove(amb.DirRX + EsquemaTemporarioR);
    ResultadoR r;
    const std::string texto = LeArquivoInteiro(preparo.PastaDoR() + SaidaScriptR);
    // Lines as a text list loads them: the last line break does not open a line.
    std::size_t comprimento = 0;
    std::size_t i = 0;
    while (i < texto.size()) {
        std::size_t f = texto.find('\n', i);
        if (f == std::string::npos) f = texto.size();
        std::string linha = texto.substr(i, f - i);
        if (!linha.empty() && linha.back() == '\r') linha.pop_back();
        comprimento += linha.size() + 2;
        r.linhas.push_back(std::move(linha));
        i = f + 1;
    }
    r.milissegundos = MilissegundosEntre(preparo.inicio, fim);
    r.mostrar = comprimento > 2;
    if (r.mostrar) {
        r.linhas.emplace_back();
        r.linhas.emplace_back();
        r.linhas.push_back("Executado em " + std::to_string(r.milissegundos) + " milisegundos");
    }
    r.primeiroGrafico = ArquivoGraficoR(preparo.pasta, "01");
    return r;
}

std::string PreparaRetornoR(const AmbienteR& amb) {
    MudaPastaAtual(amb.DirTrabalho);
    const std::string pasta = PastaAtual();
    Remove(pasta + RetornoR);
    return pasta;
}

bool HaRetornoR(const std::string& pasta) { return ExisteArquivo(pasta + RetornoR); }

bool CarregaRetornoR(TabelaResultados& t, const std::string& pasta, LeituraTabela& leitura) {
    const std::string arquivo = pasta + RetornoR;
    if (!ExisteArquivo(arquivo)) return false;
    leitura = LeTabela(t, arquivo);
    Remove(arquivo);
    // The exchange file is gone: a later save must not offer it as the table's file.
    t.ArquivoAtual.clear();
    if (t.NumLinhas <= 0) return false;
    t.Modificada = true;
    return true;
}

std::optional<ComandoR> ComandoSessaoR(const AmbienteR& amb, const AchaProgramaR& acha) {
    const std::string r = amb.DirR + ProgramaSessaoR;
    if (!ExisteArquivo(r) || !acha) return std::nullopt;
    for (const char* terminal : {"x-terminal-emulator", "xterm", "konsole"}) {
        const std::string caminho = acha(terminal);
        if (!caminho.empty()) return ComandoR{caminho, {"-e", r}};
    }
    return std::nullopt;
}

} // namespace dorvan
