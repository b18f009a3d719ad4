// Settings file, command line, desktop associations, closing a table and leaving.
#include "platform/Arquivos.h"
#include "platform/Mensagens.h"
#include "support/ApoioTeste.h"
#include "table/Configuracao.h"
#include "table/TabelaArquivo.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

using namespace dorvan;
namespace fs = std::filesystem;

namespace {

const AchaPrograma NadaNoPath = [](const std::string&) { return std::string(); };

Configuracao ConfiguracaoEm(const std::string& dirPrograma) {
    Configuracao cfg;
    cfg.DirPrograma = dirPrograma;
    return cfg;
}

TabelaResultados TabelaModificada() {
    TabelaResultados t;
    t.AlocaLinhas(2, 2);
    AcrescentaColuna(t, "A", 0);
    t.Rotulo(1) = "a";
    t.Rotulo(2) = "b";
    t.Dado(1, 1) = 5;
    t.Titulo1 = "T";
    AcrescentaNota(t, 1, 1, "n");
    t.Modificada = true;
    return t;
}

// Points the desktop's folders into a test folder for one scope.
class AmbienteDesktop {
public:
    explicit AmbienteDesktop(const teste::PastaTemporaria& p) {
        for (const char* v : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_DATA_DIRS", "XDG_CONFIG_DIRS"}) {
            const char* a = std::getenv(v);
            antes_.emplace_back(v, a ? std::optional<std::string>(a) : std::nullopt);
        }
        setenv("XDG_DATA_HOME", (p / "dados").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (p / "config").c_str(), 1);
        setenv("XDG_DATA_DIRS", (p / "nada").c_str(), 1);
        setenv("XDG_CONFIG_DIRS", (p / "nada").c_str(), 1);
    }
    ~AmbienteDesktop() {
        for (auto& [v, a] : antes_)
            if (a)
                setenv(v.c_str(), a->c_str(), 1);
            else
                unsetenv(v.c_str());
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> antes_;
};

} // namespace

TEST(Configuracao, SemIniValemOsPadroesEASaidaGravaOTextoExato) {
    teste::PastaTemporaria pasta;
    Configuracao cfg = ConfiguracaoEm(pasta.Caminho().string() + "/");
    LeConfiguracao(cfg, ArquivoIni(), NadaNoPath);
    EXPECT_EQ(cfg.DirMapas, cfg.DirPrograma);
    EXPECT_EQ(cfg.DirRX, cfg.DirPrograma);
    EXPECT_EQ(cfg.DirSalva, "");
    EXPECT_TRUE(cfg.DBFcomCP850);
    EXPECT_TRUE(cfg.ModoSeguro);
    EXPECT_TRUE(cfg.MostraLog);
    EXPECT_EQ(cfg.FonteFixa, "Courier New");
    ArquivoIni ini;
    GravaConfiguracao(cfg, ini);
    const std::string d = cfg.DirPrograma;
    EXPECT_EQ(ini.Texto(), "[Diretorios]\r\nMapas=" + d + "\r\nSalva=\r\nDados=\r\nRX=" + d +
                               "\r\n\r\n[RGrafico]\r\nTop=120\r\nLeft=120\r\nWidth=640\r\nHeight=480\r\nStretch=1\r\n"
                               "\r\n[Opcoes]\r\nDBF_CP850=1\r\nFontFixa=Courier New\r\nMostraLog=1\r\n");
}

TEST(Configuracao, ChavesLidasComPastasAusentesEXSLTDoLadoDoPrograma) {
    teste::PastaTemporaria pasta;
    fs::create_directory(pasta / "dados");
    pasta.Grava("xsltproc", "");
    Configuracao cfg = ConfiguracaoEm(pasta.Caminho().string() + "/");
    cfg.SQLDisponivel = true;
    ArquivoIni ini;
    ini.LeTexto("[Diretorios]\r\nMapas=/nao/existe\r\nSalva=/nao/existe\r\nDados=" + pasta / "dados" +
                "\r\n[RGrafico]\r\nTop=7\r\nStretch=0\r\n[fQuery]\r\nWidth=999\r\n[Opcoes]\r\nDBF_CP850=0\r\n"
                "ModoSeguro=0\r\nMostraLog=0\r\nFontFixa=Mono\r\n");
    LeConfiguracao(cfg, ini, NadaNoPath);
    EXPECT_EQ(cfg.DirMapas, cfg.DirPrograma);
    EXPECT_EQ(cfg.DirSalva, "");
    EXPECT_EQ(cfg.DirDados, pasta / "dados/");
    EXPECT_EQ(cfg.RGrafico.Top, 7);
    EXPECT_FALSE(cfg.RGraficoStretch);
    EXPECT_EQ(cfg.FQuery.Width, 999);
    EXPECT_FALSE(cfg.DBFcomCP850);
    EXPECT_FALSE(cfg.ModoSeguro);
    EXPECT_FALSE(cfg.MostraLog);
    EXPECT_EQ(cfg.FonteFixa, "Mono");
    EXPECT_EQ(cfg.ProgramaXSLT, cfg.DirPrograma + "xsltproc");

    ArquivoIni nova;
    GravaConfiguracao(cfg, nova);
    EXPECT_EQ(nova.Secoes(), (std::vector<std::string>{"Diretorios", "RGrafico", "fQuery", "Opcoes"}));
    EXPECT_EQ(nova.Chaves("Opcoes"), (std::vector<std::string>{"DBF_CP850", "FontFixa", "XSLT", "MostraLog"}));
}

TEST(Configuracao, XSLTAchadoNoPathEUsadoSemSerGravado) {
    teste::PastaTemporaria pasta;
    Configuracao cfg = ConfiguracaoEm(pasta.Caminho().string() + "/");
    LeConfiguracao(cfg, ArquivoIni(), [](const std::string& p) { return "/usr/bin/" + p; });
    EXPECT_EQ(cfg.ProgramaXSLT, "/usr/bin/xsltproc");
    ArquivoIni nova;
    GravaConfiguracao(cfg, nova);
    EXPECT_EQ(nova.Chaves("Opcoes"), (std::vector<std::string>{"DBF_CP850", "FontFixa", "MostraLog"}));
    // Named in the settings, it stays there.
    ArquivoIni ini;
    ini.LeTexto("[Opcoes]\r\nXSLT=/usr/bin/xsltproc\r\n");
    Configuracao outra = ConfiguracaoEm(pasta.Caminho().string() + "/");
    LeConfiguracao(outra, ini, NadaNoPath);
    ArquivoIni gravada;
    GravaConfiguracao(outra, gravada);
    EXPECT_EQ(gravada.LeTexto("Opcoes", "XSLT", ""), "/usr/bin/xsltproc");
}

TEST(Configuracao, SaidaGuardaChavesDeOutrosEAvisaQuandoNaoPodeGravar) {
    teste::PastaTemporaria pasta;
    pasta.Grava("Dorvan.ini", "[Aliases]\r\nbase=sqlite\r\n[Opcoes]\r\nModoSeguro=0\r\n");
    MensagensRoteiro msgs;
    UsaMensagens usa(msgs);
    Configuracao cfg;
    IniciaConfiguracao(cfg, pasta / "dorvan", NadaNoPath);
    EXPECT_EQ(cfg.ArquivoIni, pasta / "Dorvan.ini");
    EXPECT_FALSE(cfg.ModoSeguro);
    cfg.DirSalva = "/tmp/";
    ASSERT_TRUE(SalvaConfiguracao(cfg));
    ArquivoIni lido(cfg.ArquivoIni);
    lido.Le();
    EXPECT_EQ(lido.LeTexto("Aliases", "base", ""), "sqlite");
    EXPECT_FALSE(lido.LeBooleano("Opcoes", "ModoSeguro", true)); // never written, never lost
    EXPECT_EQ(lido.LeTexto("Diretorios", "Salva", ""), "/tmp/");
    EXPECT_TRUE(msgs.Textos().empty());

    cfg.ArquivoIni = "/dev/null/x/Dorvan.ini";
    EXPECT_FALSE(SalvaConfiguracao(cfg));
    EXPECT_EQ(msgs.Textos(),
              (std::vector<std::string>{"Sem direitos de grava\xE7\xE3o para atualizar /dev/null/x/Dorvan.ini"}));
}

TEST(Configuracao, IniIlegivelAvisaESegueComPadroes) {
    teste::PastaTemporaria pasta;
    fs::create_directory(pasta / "Dorvan.ini"); // a folder where the file should be
    MensagensRoteiro msgs;
    UsaMensagens usa(msgs);
    Configuracao cfg;
    IniciaConfiguracao(cfg, pasta / "dorvan", NadaNoPath);
    EXPECT_EQ(msgs.Textos(), (std::vector<std::string>{"Sem permiss\xE3o para acessar " + pasta / "Dorvan.ini"}));
    EXPECT_EQ(cfg.FonteFixa, "Courier New");
    EXPECT_EQ(cfg.DirPrograma, pasta.Caminho().string() + "/");
}

TEST(Configuracao, RNoPathMostraOsComandosDeR) {
    teste::PastaTemporaria pasta;
    Configuracao cfg;
    IniciaConfiguracao(cfg, pasta / "dorvan", [](const std::string& p) {
        return p == "R" ? std::string("/usr/lib/R/bin/R") : std::string();
    });
    EXPECT_TRUE(cfg.TemR);
    EXPECT_EQ(cfg.DirR, "/usr/lib/R/bin/");
    Configuracao sem;
    IniciaConfiguracao(sem, pasta / "dorvan", NadaNoPath);
    EXPECT_FALSE(sem.TemR);
}

// The converter whose menu item reads "Via XSLT usando uxt.exe" is looked for by
// that name beside the program.
TEST(Configuracao, UxtAchadoPeloNomeQueOMenuMostra) {
    teste::PastaTemporaria pasta;
    Configuracao sem;
    IniciaConfiguracao(sem, pasta / "dorvan", NadaNoPath);
    EXPECT_FALSE(sem.TemUXT);
    pasta.Grava("uxt.exe", "");
    Configuracao cfg;
    IniciaConfiguracao(cfg, pasta / "dorvan", NadaNoPath);
    EXPECT_TRUE(cfg.TemUXT) << cfg.DirPrograma;
}

TEST(Configuracao, IniSemPastaGravavelVaiParaAConfiguracaoDoUsuario) {
    teste::PastaTemporaria pasta;
    AmbienteDesktop amb(pasta);
    EXPECT_EQ(LocalIni("/nao/existe/"), pasta / "config/Dorvan/Dorvan.ini");
    EXPECT_EQ(LocalIni(pasta.Caminho().string() + "/"), pasta / "Dorvan.ini");
}

TEST(LinhaComando, SoUmArgumentoDeArquivoExistenteAbrePelaExtensao) {
    teste::PastaTemporaria pasta;
    for (const char* n : {"a.Tab", "b.def", "c.SQL", "d.dbf", "e.txt"}) pasta.Grava(n, "");
    using T = ComandoInicial::Tipo;
    struct Caso {
        std::vector<std::string> args;
        bool sql;
        T tipo;
    } casos[] = {
        {{}, true, T::Nenhum},
        {{pasta / "a.Tab"}, false, T::Tabela},
        {{pasta / "a.Tab", pasta / "b.def"}, true, T::Nenhum},
        {{pasta / "nao.tab"}, true, T::Nenhum},
        {{pasta / "b.def"}, false, T::DEF},
        {{pasta / "c.SQL"}, true, T::SQL},
        {{pasta / "c.SQL"}, false, T::Nenhum},
        {{pasta / "d.dbf"}, false, T::DBF},
        {{pasta / "e.txt"}, true, T::Nenhum},
        {{pasta.Caminho().string()}, true, T::Nenhum},
    };
    for (const Caso& c : casos) {
        ComandoInicial r = InterpretaLinhaComando(c.args, c.sql);
        EXPECT_EQ(r.tipo, c.tipo) << (c.args.empty() ? "" : c.args[0]);
        EXPECT_EQ(r.arquivo, c.tipo == T::Nenhum ? std::string() : c.args[0]);
    }
}

TEST(Associacao, RegistraOTipoMimeEODesktopDoUsuario) {
    teste::PastaTemporaria pasta;
    AmbienteDesktop amb(pasta);
    MensagensRoteiro msgs;
    UsaMensagens usa(msgs);
    EXPECT_EQ(ProgramaAssociado("tab"), "");
    ExtensaoTAB("/opt/meu dorvan/dorvan");
    EXPECT_EQ(ProgramaAssociado("tab"), "\"/opt/meu dorvan/dorvan\"");
    EXPECT_NE(pasta.Le("dados/mime/packages/x-dorvan-tab.xml").find("<glob pattern=\"*.tab\"/>"), std::string::npos);
    EXPECT_NE(pasta.Le("dados/applications/dorvan.desktop").find("MimeType=application/x-dorvan-tab;\n"),
              std::string::npos);
    EXPECT_NE(pasta.Le("config/mimeapps.list").find("[Default Applications]\napplication/x-dorvan-tab=dorvan.desktop;\n"),
              std::string::npos);

    // Another program holds it: asked before it is taken over.
    msgs.Responde("N");
    ExtensaoTAB("/usr/bin/outro");
    EXPECT_EQ(ProgramaAssociado("tab"), "\"/opt/meu dorvan/dorvan\"");
    msgs.Responde("S");
    ExtensaoTAB("/usr/bin/outro");
    EXPECT_EQ(ProgramaAssociado("tab"), "\"/usr/bin/outro\"");
    EXPECT_EQ(msgs.Textos(), (std::vector<std::string>{
                                 "Os arquivos com extens\xE3o .tab foram associados a /opt/meu dorvan/dorvan",
                                 "Atualmente associado a \"/opt/meu dorvan/dorvan\": Sobrepor?",
                                 "Atualmente associado a \"/opt/meu dorvan/dorvan\": Sobrepor?",
                                 "Os arquivos com extens\xE3o .tab foram associados a /usr/bin/outro",
                             }));
}

TEST(Saida, PerguntaSoComTabelaModificadaECancelarMantemTudo) {
    teste::PastaTemporaria pasta;
    struct Caso {
        const char* nome;
        bool modificada;
        std::vector<std::string> respostas; // Confirma button index
        std::string arquivo;                // what the save dialog gives
        bool sai;
        bool salvo;
    } casos[] = {
        {"nao modificada", false, {}, "", true, false},
        {"cancela", true, {"2"}, "", false, false},
        {"nao salva", true, {"1"}, "", true, false},
        {"sim mas cancela o dialogo", true, {"0"}, "", false, false},
        {"sim e salva", true, {"0"}, pasta / "s.tab", true, true},
        {"sim com extensao desconhecida", true, {"0"}, pasta / "s.xyz", false, false},
    };
    for (const Caso& c : casos) {
        MensagensRoteiro msgs;
        UsaMensagens usa(msgs);
        for (const auto& r : c.respostas) msgs.Responde(r);
        TabelaResultados t = TabelaModificada();
        t.Modificada = c.modificada;
        std::string dir;
        bool sai = PodeSair(t, {}, dir, [&] { return c.arquivo; });
        EXPECT_EQ(sai, c.sai) << c.nome;
        EXPECT_EQ(fs::exists(pasta / "s.tab"), c.salvo) << c.nome;
        EXPECT_EQ(t.NumLinhas, 2) << c.nome; // leaving never drops the table itself
        if (c.modificada) {
            ASSERT_GE(msgs.Registros().size(), 1u);
            EXPECT_EQ(msgs.Registros()[0].titulo, "Confirme");
            EXPECT_EQ(msgs.Registros()[0].texto, "Salvar a tabela atual?");
            EXPECT_EQ(msgs.Registros()[0].botoes, (std::vector<std::string>{"&Sim", "&N\xE3o", "&Cancela"}));
        } else {
            EXPECT_TRUE(msgs.Registros().empty());
        }
        fs::remove(pasta / "s.tab");
    }
}

TEST(FechaTabela, SoPerguntaComTabelaModificadaEDialogoCanceladoNaoPerdeNada) {
    teste::PastaTemporaria pasta;
    struct Caso {
        const char* nome;
        bool modificada;
        const char* resposta;
        std::string arquivo;
        bool fecha;
    } casos[] = {
        {"nao modificada", false, nullptr, "", true},
        {"nao", true, "N", "", true},
        {"sim cancelado", true, "S", "", false},
        {"sim salvo", true, "S", pasta / "f.tab", true},
    };
    for (const Caso& c : casos) {
        MensagensRoteiro msgs;
        UsaMensagens usa(msgs);
        if (c.resposta) msgs.Responde(c.resposta);
        TabelaResultados t = TabelaModificada();
        t.Modificada = c.modificada;
        std::string dir;
        EXPECT_EQ(FechaTabela(t, {}, dir, [&] { return c.arquivo; }), c.fecha) << c.nome;
        if (c.fecha) {
            EXPECT_EQ(t.NumLinhas, 0);
            EXPECT_EQ(t.NumColunas(), 0);
            EXPECT_EQ(t.NumNotas(), 0);
            EXPECT_EQ(t.Titulo1, "");
            EXPECT_FALSE(t.Modificada);
        } else {
            EXPECT_EQ(t.NumLinhas, 2);
            EXPECT_TRUE(t.Modificada);
            EXPECT_EQ(t.NumNotas(), 1);
        }
        EXPECT_EQ(msgs.Textos(), c.modificada ? std::vector<std::string>{"Salvar Tabela Atual?"}
                                              : std::vector<std::string>{});
    }
    EXPECT_TRUE(fs::exists(pasta / "f.tab"));
}
