// Typing into the grid, notes and column attributes.
#include "platform/Mensagens.h"
#include "table/EdicaoGrade.h"

#include <gtest/gtest.h>

using namespace dorvan;

namespace {
TabelaResultados TresLinhas() {
    TabelaResultados t;
    t.AlocaLinhas(3, 3);
    AcrescentaColuna(t, "A", 1);
    for (int r = 1; r <= 3; ++r) {
        t.Rotulo(r) = "1" + std::to_string(r) + " R" + std::to_string(r);
        t.Dado(1, r) = r;
    }
    CalculaTotal(t, 1);
    return t;
}
} // namespace

TEST(EdicaoGrade, ValorDigitadoFiltradoMarcaModificadaERecalculaOTotal) {
    struct Caso {
        const char* texto;
        char marca;
        bool muda;
        double valor;
    } casos[] = {{"1.234,5", ',', true, 1234.5}, {"1,234.5", '.', true, 1234.5}, {"5-3", ',', true, 53},
                 {"-7,25", ',', true, -7.25},    {"-", ',', false, 3},          {"", ',', false, 3},
                 {"abc", ',', false, 3}};
    for (const Caso& c : casos) {
        TabelaResultados t = TresLinhas();
        t.OrdemDecrescente = true; // grid row 2 shows data row 3
        EXPECT_EQ(EditaCelula(t, 2, 1, c.texto, c.marca), c.muda) << c.texto;
        EXPECT_DOUBLE_EQ(t.Dado(1, 3), c.valor) << c.texto;
        EXPECT_DOUBLE_EQ(t.Dado(1, 1), 1);
        EXPECT_EQ(t.Modificada, c.muda);
        EXPECT_DOUBLE_EQ(t.Coluna(1).Total, 3 + c.valor);
    }
}

TEST(EdicaoGrade, TituloERotuloMarcamModificadaETotalNuncaEEditado) {
    TabelaResultados t = TresLinhas();
    EXPECT_FALSE(EditaCelula(t, 1, 1, "99", ','));
    EXPECT_FALSE(t.Modificada);
    EXPECT_TRUE(EditaCelula(t, 0, 1, std::string(70, 'x'), ','));
    EXPECT_EQ(t.NomeColuna(1).size(), 60u);
    EXPECT_TRUE(t.Modificada);
    t.Modificada = false;
    EXPECT_TRUE(EditaCelula(t, 3, 0, "novo", ','));
    EXPECT_EQ(t.Rotulo(2), "novo");
    EXPECT_TRUE(t.Modificada);
}

TEST(EdicaoGrade, NotaCriadaTrocadaApagadaERecusadaNoLimite) {
    MensagensRoteiro msgs;
    UsaMensagens usa(msgs);
    TabelaResultados t = TresLinhas();
    EXPECT_TRUE(EditaNota(t, 2, 0, "no r\xF3tulo"));
    EXPECT_EQ(TextoNota(t, 2, 0), "no r\xF3tulo");
    EXPECT_FALSE(EditaNota(t, 2, 0, "no r\xF3tulo"));
    EXPECT_TRUE(EditaNota(t, 2, 0, ""));
    EXPECT_EQ(t.NumNotas(), 0);
    t.DefineNumNotas(MaxNotas);
    for (int i = 1; i <= MaxNotas; ++i) t.Notas(i) = {1, 1, "n"};
    t.Modificada = false;
    EXPECT_FALSE(EditaNota(t, 3, 1, "mais uma"));
    EXPECT_FALSE(t.Modificada);
    EXPECT_EQ(msgs.Textos().back(), "M\xE1ximo de notas foi atingido.");
}

TEST(EdicaoGrade, AtributosDaColunaRecalculamOTotalEGuardamANota) {
    TabelaResultados t = TresLinhas();
    AtributosColuna a = AtributosDe(t, 1);
    EXPECT_EQ(a.titulo, "A");
    a.tipoTotal = TipoTotal::Maximo;
    a.decimais = 40;
    a.nota = "fonte";
    AplicaAtributos(t, 1, a);
    EXPECT_DOUBLE_EQ(t.Coluna(1).Total, 3);
    EXPECT_EQ(t.Coluna(1).Decimais, 10);
    EXPECT_EQ(TextoNota(t, 0, 1), "fonte");
    EXPECT_TRUE(t.Modificada);
}

TEST(EdicaoGrade, RotuloSemCodigoQuandoOCodigoEstaEscondido) {
    TabelaResultados t = TresLinhas();
    t.MostraCodigo = false;
    t.TamCodigo = 2;
    EXPECT_EQ(RotuloMostrado(t, 1), "R1");
    t.MostraCodigo = true;
    EXPECT_EQ(RotuloMostrado(t, 1), "11 R1");
}
