#include "platform/Mensagens.h"

#include "platform/Erros.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

namespace dorvan {
namespace {

TEST(MensagensRoteiro, RecordsEveryTextAndAnswersFromTheScript) {
    MensagensRoteiro roteiro;
    UsaMensagens uso(roteiro);
    roteiro.Responde("2");
    roteiro.Responde("S");
    roteiro.Responde("N");
    roteiro.Responde("nome novo");
    roteiro.Cancela();
    roteiro.Responde("1.234,5");
    roteiro.Cancela();
    roteiro.Cancela();

    auto& m = MensagensAtuais();
    m.Mostra("Arquivo n\xE3o encontrado");
    const std::vector<std::string> botoes = {"&Sim", "&N\xE3o", "&Cancela"};
    EXPECT_EQ(m.Confirma("Confirme", "Salvar a tabela atual?", botoes), 2);
    EXPECT_TRUE(m.SimOuNao("", "Salvar Tabela Atual?"));
    EXPECT_FALSE(m.SimOuNao("Aten\xE7\xE3o!", "Remover?"));
    EXPECT_EQ(m.EntraTexto("Entre com a descri\xE7\xE3o da linha", "Outras"), "nome novo");
    EXPECT_EQ(m.EntraTexto("Edite o titulo da Coluna", "Total"), "Total"); // cancel gives the default
    std::string numero = "inalterado";
    EXPECT_TRUE(m.PerguntaNumero("Nova Largura ", "10", numero));
    EXPECT_EQ(numero, "1.234,5");
    numero = "inalterado";
    EXPECT_FALSE(m.PerguntaNumero("Nova Largura ", "10", numero));
    EXPECT_EQ(numero, "inalterado");
    EXPECT_EQ(m.Confirma("Confirme", "Sair?", botoes), 2); // closing the box: the last button

    const auto& r = roteiro.Registros();
    ASSERT_EQ(r.size(), 9u);
    struct Esperado {
        const char *tipo, *titulo, *texto, *padrao;
    } esperados[] = {
        {"Mostra", "", "Arquivo n\xE3o encontrado", ""},
        {"Confirma", "Confirme", "Salvar a tabela atual?", ""},
        {"SimOuNao", "Sim ou N\xE3o?", "Salvar Tabela Atual?", ""},
        {"SimOuNao", "Aten\xE7\xE3o!", "Remover?", ""},
        {"EntraTexto", "Entra Msg", "Entre com a descri\xE7\xE3o da linha", "Outras"},
        {"EntraTexto", "Entra Msg", "Edite o titulo da Coluna", "Total"},
        {"PerguntaNumero", "Entre um n\xFAmero", "Nova Largura ", "10"},
        {"PerguntaNumero", "Entre um n\xFAmero", "Nova Largura ", "10"},
        {"Confirma", "Confirme", "Sair?", ""},
    };
    for (size_t i = 0; i < r.size(); ++i) {
        EXPECT_EQ(r[i].tipo, esperados[i].tipo) << i;
        EXPECT_EQ(r[i].titulo, esperados[i].titulo) << i;
        EXPECT_EQ(r[i].texto, esperados[i].texto) << i;
        EXPECT_EQ(r[i].padrao, esperados[i].padrao) << i;
    }
    EXPECT_EQ(r[1].botoes, botoes);
    EXPECT_EQ(r[2].botoes, (std::vector<std::string>{"&Sim", "&N\xE3o"}));
    EXPECT_EQ(roteiro.Textos().front(), "Arquivo n\xE3o encontrado");
    EXPECT_EQ(roteiro.RespostasRestantes(), 0u);
}

TEST(MensagensRoteiro, AQuestionOutsideTheScriptFailsInsteadOfGuessing) {
    MensagensRoteiro roteiro;
    EXPECT_THROW(roteiro.SimOuNao("", "Pergunta sem resposta"), ErroFatal);
    roteiro.Responde("3");
    EXPECT_THROW(roteiro.Confirma("Confirme", "Tres botoes", {"a", "b", "c"}), ErroFatal);
    roteiro.Responde("x");
    EXPECT_THROW(roteiro.Confirma("Confirme", "Tres botoes", {"a", "b", "c"}), ErroFatal);
    EXPECT_EQ(roteiro.Registros().size(), 3u);
}

TEST(MensagensAtuais, UsaMensagensRestoresThePreviousOneOnLeavingScope) {
    Mensagens* console = &MensagensAtuais();
    MensagensRoteiro externo, interno;
    {
        UsaMensagens a(externo);
        {
            UsaMensagens b(interno);
            EXPECT_EQ(&MensagensAtuais(), &interno);
        }
        EXPECT_EQ(&MensagensAtuais(), &externo);
    }
    EXPECT_EQ(&MensagensAtuais(), console);
}

} // namespace
} // namespace dorvan

namespace dorvan {
namespace {

// Zembra's console: messages in UTF-8 on stdout; with no terminal to ask, every
// question takes its default (the last button, no, the default text, cancel).
TEST(MensagensConsole, PrintsUtf8AndAnswersDefaultsWithoutATerminal) {
    int entrada = dup(STDIN_FILENO);
    int nulo = open("/dev/null", O_RDONLY);
    ASSERT_GE(nulo, 0);
    dup2(nulo, STDIN_FILENO);
    close(nulo);

    MensagensConsole m;
    std::string resposta = "antes";
    testing::internal::CaptureStdout();
    m.Mostra("Arquivo n\xE3o encontrado");
    int botao = m.Confirma("Confirme", "Salvar?", {"&Sim", "&N\xE3o", "&Cancela"});
    bool sim = m.SimOuNao("", "Continuar?");
    std::string texto = m.EntraTexto("Descri\xE7\xE3o", "Outras");
    bool numero = m.PerguntaNumero("Largura", "10", resposta);
    std::string saida = testing::internal::GetCapturedStdout();

    dup2(entrada, STDIN_FILENO);
    close(entrada);
    EXPECT_EQ(botao, 2);
    EXPECT_FALSE(sim);
    EXPECT_EQ(texto, "Outras");
    EXPECT_FALSE(numero);
    EXPECT_EQ(resposta, "antes");
    EXPECT_EQ(saida, "Arquivo n\xC3\xA3o encontrado\n"
                     "Confirme: Salvar? [1] &Sim [2] &N\xC3\xA3o [3] &Cancela\n"
                     "Sim ou N\xC3\xA3o? Continuar? (S/N)\n"
                     "Descri\xC3\xA7\xC3\xA3o [Outras]\n"
                     "Largura [10]\n");
}

} // namespace
} // namespace dorvan
