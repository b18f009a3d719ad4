#include "maps/MapaTabela.h"

#include "data/UConvert.h"
#include "maps/DesenhoMapa.h"
#include "platform/Arquivos.h"
#include "platform/Mensagens.h"
#include "platform/Numeros.h"
#include "platform/Texto1252.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace dorvan {

namespace {

namespace fs = std::filesystem;

std::string ADireita(std::string s, std::int32_t largura) {
    if (static_cast<std::int32_t>(s.size()) < largura) s.insert(0, static_cast<std::size_t>(largura) - s.size(), ' ');
    return s;
}

// "%w.dN": grouped fixed-point, right-aligned in w characters.
std::string FormatoN(double v, std::int32_t largura, std::int32_t decimais) {
    return ADireita(DeQString(NumeroUsuario(v, std::clamp(decimais, 0, 15))), largura);
}

bool LinhaValida(const TabelaResultados& t, std::int32_t linha) { return linha >= 1 && linha <= t.NumLinhas; }

} // namespace

std::string ChaveDoRotulo(const std::string& rotulo, std::int32_t tamCodigo) {
    std::size_t n = std::min(MaxChaveLinha, rotulo.size());
    if (tamCodigo >= 0) n = std::min(n, static_cast<std::size_t>(tamCodigo));
    return MaiusculasSemAcento(rotulo.substr(0, n));
}

void MontaIndiceLinhas(TabelaResultados& t) {
    CriaIndice(t.IndiceLinhas, std::max(0, t.CapLinhas()));
    for (std::int32_t i = 1; i <= t.NumLinhas; ++i) {
        const std::string& rotulo = t.Rotulo(i);
        if (rotulo.empty()) continue;
        const std::string chave = ChaveDoRotulo(rotulo, t.TamCodigo);
        if (!chave.empty()) InsereIndice(t.IndiceLinhas, chave, i);
    }
}

bool PreparaMapaColuna(TabelaResultados& t, std::int32_t coluna, EstadoEscala& e) {
    if (coluna < 1 || coluna > t.NumColunas()) return false;
    // Another column's limits would leave most of this one's values out of every
    // class: its classes are made afresh, as for a first map.
    if (coluna != t.ColunaMapa) t.SemClasses = true;
    t.ColunaMapa = coluna;
    CalculaExtremos(t);
    DaClassesIniciais(t, e);
    return true;
}

std::string LegendaJanelaMapa(const TabelaResultados& t) {
    const std::string coluna =
        t.ColunaMapa >= 0 && t.ColunaMapa <= t.NumColunas() ? t.NomeColuna(t.ColunaMapa) : std::string();
    return "Mapa: " + t.Titulo1 + " : " + coluna;
}

std::string LegendaRedimensionada(std::int32_t largura, std::int32_t altura, const std::string& anterior) {
    const std::size_t p = anterior.find(':');
    return "Mapa(" + std::to_string(largura) + "X" + std::to_string(altura - AlturaStatus) + ")" +
           (p == std::string::npos ? std::string() : anterior.substr(p));
}

RotulosDoMapa LeRotulosDoMapa(const std::string& nomeMapa, bool comCodigo) {
    RotulosDoMapa r;
    r.ComCodigo = comCodigo;
    TIndice chaves;
    CriaIndice(chaves, MaxLinhasMapa);
    LeitorMapa leitor(nomeMapa);
    RegistroMapa reg;
    while (leitor.Proximo(reg)) {
        if (reg.Tipo > TipoPonto) continue;
        r.LarguraCodigoUltimo = static_cast<std::int32_t>(reg.Codigo.size());
        std::string rotulo;
        if (comCodigo) {
            rotulo = reg.Codigo + " " + reg.Nome;
            r.TamCodigo = static_cast<std::int32_t>(reg.Codigo.size());
        } else {
            rotulo = reg.Nome;
        }
        if (chaves.Quantidade() >= MaxLinhasMapa) {
            MensagensAtuais().Mostra("Mais de " + std::to_string(MaxLinhasMapa) + " linhas: excedente ignorado");
            break;
        }
        InsereIndice(chaves, rotulo, 0);
    }
    r.Rotulos.reserve(static_cast<std::size_t>(chaves.Quantidade()));
    for (std::int32_t i = 1; i <= chaves.Quantidade(); ++i)
        r.Rotulos.push_back(chaves.Chave(i));
    return r;
}

void PreencheTabelaDoMapa(TabelaResultados& t, const RotulosDoMapa& r, const std::string& nomeMapa) {
    const auto n = static_cast<std::int32_t>(r.Rotulos.size());
    t.AlocaLinhas(n, n);
    for (std::int32_t i = 1; i <= n; ++i)
        t.Rotulo(i) = r.Rotulos[static_cast<std::size_t>(i - 1)];
    t.OrdemDecrescente = false;
    t.ColunaOrdem = 0;
    t.Coluna(0).Largura = r.LarguraCodigoUltimo + 25;
    // File names are the system's own; the title is 1252 text like every other.
    t.DefineNomeColuna(0, DeUtf8(fs::path(nomeMapa).filename().string()));
    AcrescentaColuna(t, TituloColunaSelecao, 0);
    if (r.ComCodigo) {
        t.TamCodigo = r.TamCodigo;
        t.MostraCodigo = true;
    } else {
        t.TamCodigo = SemCodigo;
        t.MostraCodigo = false;
    }
}

std::string RotuloSemCodigo(const TabelaResultados& t, std::int32_t linha) {
    if (!LinhaValida(t, linha)) return {};
    const std::string& rotulo = t.Rotulo(linha);
    if (t.TamCodigo != SemCodigo && !t.MostraCodigo) {
        const auto corte = static_cast<std::size_t>(std::max(0, t.TamCodigo) + 1);
        return corte < rotulo.size() ? rotulo.substr(corte) : std::string();
    }
    return rotulo;
}

std::string ValorFormatado(const TabelaResultados& t, std::int32_t linha) {
    if (!LinhaValida(t, linha) || t.ColunaMapa < 1 || t.ColunaMapa > t.NumColunas()) return {};
    return FormatoN(t.Dado(t.ColunaMapa, linha), LarguraValor(0, t.MaximoMapa), t.Coluna(t.ColunaMapa).Decimais);
}

std::string ValorDaColuna(const TabelaResultados& t, std::int32_t coluna, std::int32_t linha) {
    if (!LinhaValida(t, linha) || coluna < 1 || coluna > t.NumColunas()) return {};
    const ColunaResultados& c = t.Coluna(coluna);
    return FormatoN(t.Dado(coluna, linha), c.Largura, c.Decimais);
}

Identificado Identifica(std::uint32_t valor, std::int32_t numLinhas) {
    Identificado r;
    const std::uint32_t v = valor & 0x00FFFFFF;
    if (v == 0 || v == IdentificacaoVazia) return r;
    if (static_cast<std::int64_t>(v) <= numLinhas) {
        r.tipo = Identificado::Tipo::Linha;
        r.Linha = static_cast<std::int32_t>(v);
    } else if (v >= 2000001) {
        r.tipo = Identificado::Tipo::Fluxo;
        r.Registro = static_cast<std::int32_t>(v - 2000000);
    } else if (v > 200000) {
        r.tipo = Identificado::Tipo::PontoCamada;
        r.Camada = static_cast<std::int32_t>(v / 200000);
        r.Registro = static_cast<std::int32_t>(v % 200000);
    }
    return r;
}

std::string InformacaoDaLinha(const TabelaResultados& t, std::int32_t linha) {
    if (!LinhaValida(t, linha)) return {};
    std::string s = t.NomeColuna(0) + "\n" + "Nome: " + t.Rotulo(linha);
    for (std::int32_t c = 1; c <= std::min(15, t.NumColunas()); ++c)
        s += "\n" + t.NomeColuna(c) + ": " + ValorDaColuna(t, c, linha);
    return s;
}

bool AlternaSelecao(TabelaResultados& t, std::int32_t coluna, std::int32_t linha) {
    if (!LinhaValida(t, linha) || coluna < 1 || coluna > t.NumColunas()) return false;
    double& d = t.Dado(coluna, linha);
    d = d == 0 ? 1 : 0;
    t.Modificada = true;
    return true;
}

std::int32_t ColunaRaio(const TabelaResultados& t) {
    for (std::int32_t c = t.NumColunas(); c >= 1; --c)
        if (MaiusculasAscii(t.NomeColuna(c)) == "RAIO") return c;
    return 0;
}

NomesTerraView NomesParaTerraView(const std::string& nomeMapa) {
    const fs::path p(nomeMapa);
    const std::string base = p.stem().string();
    NomesTerraView n;
    const std::string pasta = p.has_parent_path() ? p.parent_path().string() + "/" : std::string();
    n.Banco = pasta + base.substr(0, std::min<std::size_t>(2, base.size())) + ".mdb";
    n.Camada = base.size() > 2 ? base.substr(2) : std::string();
    if (n.Camada.empty())
        n.Camada = "munic";
    else if (MaiusculasAscii(n.Camada) == "ASIL")
        n.Camada = "uf";
    return n;
}

std::vector<std::string> ArgumentosTerraView(const std::string& tabela, const NomesTerraView& n) {
    return {"dorvan", tabela, n.Banco, n.Camada};
}

std::string ProgramaTerraView(const std::string& dirInstalacao) {
    if (dirInstalacao.empty()) return {};
    std::string pasta = BarrasNormais(dirInstalacao);
    if (pasta.back() != '/') pasta += '/';
    return pasta + "terraview";
}

} // namespace dorvan
