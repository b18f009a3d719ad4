// Classification of field values and the small text routines of the dimension unit.
#include "tabulation/Utab.h"

#include "data/LeDBF32.h"
#include "platform/Mensagens.h"
#include "platform/Numeros.h"
#include "platform/Texto.h"

#include <algorithm>
#include <cmath>

namespace dorvan {

std::string ErroTabela;
std::string DirTabelas;
std::int32_t LinhasExtras = 0;
bool TabelasDBFcomCP850 = true;
std::function<void(const std::string&)> RegistraLogTabelas;

namespace {

bool ELetra(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// An optional sign and plain decimal digits into n; false when there are no digits
// or anything else.
bool LeInteiro(std::string_view s, std::int64_t& n) {
    bool negativo = false;
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
        negativo = s[0] == '-';
        s.remove_prefix(1);
    }
    if (s.empty()) return false;
    n = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        n = std::min<std::int64_t>(n * 10 + (c - '0'), 0xFFFFFF); // far above any table
    }
    if (negativo) n = -n;
    return true;
}

} // namespace

std::string TiraEspacos(std::string_view s) {
    std::string r;
    r.reserve(s.size());
    for (char c : s)
        if (!EBranco(c)) r += c;
    return r;
}

void CortaItem(std::string& s, std::size_t limite, std::string& item) {
    std::size_t v = s.find(',');
    if (v == std::string::npos) {
        item = s;
        s.clear();
        return;
    }
    item = s.substr(0, v);
    s = s.substr(v + 1, limite);
}

std::string FormataTitulo(std::string_view item) {
    std::size_t v = item.find(',');
    if (v == std::string_view::npos) return std::string(19, ' ') + TiraEspacos(item);
    std::string rotulo = TiraBrancos(
        item.substr(std::min<std::size_t>(1, v), std::min<std::size_t>(v - std::min<std::size_t>(1, v), 18)));
    rotulo.resize(19, ' ');
    return rotulo + TiraEspacos(item.substr(v + 1));
}

AgrupaRecusasIndice::AgrupaRecusasIndice() : anterior_(MensagensAtuais()), uso_(*this) {}

void AgrupaRecusasIndice::Conclui() {
    if (recusas_ == 0) return;
    std::string texto = primeira_;
    if (recusas_ > 1) texto += " (" + std::to_string(recusas_) + " entradas recusadas)";
    recusas_ = 0;
    if (RegistraLogTabelas) RegistraLogTabelas(texto);
    anterior_.Mostra(texto);
}

void AgrupaRecusasIndice::Mostra(const std::string& texto) {
    static const std::string prefixo = "Entradas excede m\xE1ximo";
    if (texto.compare(0, prefixo.size(), prefixo) == 0) {
        if (recusas_++ == 0) primeira_ = texto;
        return;
    }
    anterior_.Mostra(texto);
}

int AgrupaRecusasIndice::Confirma(const std::string& titulo, const std::string& texto,
                                  const std::vector<std::string>& botoes) {
    return anterior_.Confirma(titulo, texto, botoes);
}

bool AgrupaRecusasIndice::SimOuNao(const std::string& titulo, const std::string& texto) {
    return anterior_.SimOuNao(titulo, texto);
}

std::string AgrupaRecusasIndice::EntraTexto(const std::string& pergunta, const std::string& padrao) {
    return anterior_.EntraTexto(pergunta, padrao);
}

bool AgrupaRecusasIndice::PerguntaNumero(const std::string& pergunta, const std::string& padrao,
                                         std::string& resposta) {
    return anterior_.PerguntaNumero(pergunta, padrao, resposta);
}

void MostraErroTab() { MensagensAtuais().Mostra(ErroTabela); }

std::uint16_t CodigoParaNumero(std::string& codigo) {
    if (codigo.empty()) return 0;
    if (codigo[0] == ' ') std::replace(codigo.begin(), codigo.end(), ' ', '0');
    char primeiro = codigo[0];
    if (primeiro >= '[' && primeiro <= '`') return CodigoForaDaTabela;
    std::int64_t peso = 0;
    if (ELetra(primeiro)) {
        std::int64_t potencia = 1;
        for (std::size_t i = 1; i < codigo.size(); ++i)
            potencia = std::min<std::int64_t>(potencia * 10, 0xFFFFFF);
        peso = static_cast<std::int64_t>((primeiro & ~0x20) - 'A' + 1) * potencia;
        codigo.erase(0, 1);
    }
    // A sign reads as part of the number ("+5" is 5, "-1" is -1); a sign anywhere
    // else is no number, and reads as '0' ("1-" is 10, "-" is 0).
    std::int64_t n = 0;
    if (!LeInteiro(codigo, n)) {
        for (char& c : codigo)
            if (c < '0' || c > '9') c = '0';
        if (!LeInteiro(codigo, n)) n = 0;
    }
    const std::int64_t total = n + peso;
    // Numbers so large either way that 16 bits would wrap them back into a table.
    if (total >= CodigoForaDaTabela || total <= -0xFFFF) return CodigoForaDaTabela;
    // As a 16-bit value a negative number lies above every table ("-1" is 65535).
    return static_cast<std::uint16_t>(static_cast<std::uint64_t>(total) & 0xFFFFu);
}

std::uint16_t ProximoCodigo(std::string_view linha, std::size_t& posicao, std::size_t compCodigo) {
    std::string codigo(posicao < linha.size() ? linha.substr(posicao, compCodigo) : std::string_view());
    posicao += compCodigo;
    return CodigoParaNumero(codigo);
}

std::int32_t Categoria(std::string_view valor, const TDimensao& d) {
    const std::int32_t naoClassificado = d.NumCategorias + 1;
    switch (d.Modo) {
    case 0: {
        std::size_t inicio = d.Inicio > 0 ? d.Inicio - 1u : 0u;
        std::string codigo(inicio < valor.size() ? valor.substr(inicio, d.CompCodigo) : std::string_view());
        std::uint16_t n = CodigoParaNumero(codigo);
        return n < d.Direta.size() ? d.Direta[n] : naoClassificado;
    }
    case 1: {
        std::size_t inicio = d.Inicio > 0 ? d.Inicio - 1u : 0u;
        std::string_view codigo = inicio < valor.size() ? valor.substr(inicio, d.CompCodigo) : std::string_view();
        std::int32_t k = ValorIndice(d.Indice, codigo);
        return k >= 1 ? k : naoClassificado;
    }
    case 2: {
        if (d.TamCampo > 0 && valor.size() > d.TamCampo) valor = valor.substr(0, d.TamCampo);
        std::string texto = TiraBrancos(valor);
        double numero = 0;
        if (auto lido = LeNumeroMaquina(texto)) {
            numero = *lido;
        } else {
            numero = LePrefixoNumerico(texto);
            if (d.ValoresInvalidos++ == 0) d.PrimeiroInvalido = texto;
        }
        const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(std::max(d.NumCategorias, 0)),
                                                    d.Limites.empty() ? 0 : d.Limites.size() - 1);
        for (std::size_t k = 1; k <= n; ++k)
            if (numero <= d.Limites[k]) return static_cast<std::int32_t>(k); // NaN bounds never match
        return naoClassificado;
    }
    default:
        return naoClassificado;
    }
}

void AvisaValoresInvalidos(const TDimensao& d) {
    if (d.ValoresInvalidos == 0) return;
    std::string texto = d.PrimeiroInvalido + ":Valor Inv\xE1lido em " + d.Campo;
    if (d.ValoresInvalidos > 1) texto += " (" + std::to_string(d.ValoresInvalidos) + " valores inv\xE1lidos)";
    d.ValoresInvalidos = 0;
    d.PrimeiroInvalido.clear();
    if (RegistraLogTabelas) RegistraLogTabelas(texto);
    MensagensAtuais().Mostra(texto);
}

std::string CampoNaoEncontrado(const std::string& campo, const std::string& arquivo) {
    std::string nome = arquivo;
    std::size_t barra = nome.find_last_of("/\\");
    if (barra != std::string::npos) nome.erase(0, barra + 1);
    return campo + " nao encontrado em " + nome;
}

bool AchaCampoDim(TDimensao& d, const dbfRecord& arquivo) {
    const int n = FieldDBF(arquivo, d.Campo);
    d.NumCampo = static_cast<std::uint16_t>(n);
    d.TamCampo = n != 0 ? arquivo.Campo(n).Tamanho : std::uint16_t{0};
    if (n != 0) return true;
    ErroTabela = CampoNaoEncontrado(d.Campo, arquivo.Nome);
    MostraErroTab();
    return false;
}

ExtensaoCodigo ExtensaoDaDimensao(const TDimensao& d, const dbfRecord& arquivo) {
    const CampoDBF& c = arquivo.Campo(d.NumCampo);
    ExtensaoCodigo e;
    e.desloc = c.Deslocamento;
    e.tamanho = std::max<std::size_t>(c.Tamanho, static_cast<std::size_t>(d.Inicio) + d.CompCodigo - 1);
    const std::size_t resta = arquivo.TamRegistro > c.Deslocamento ? arquivo.TamRegistro - c.Deslocamento : 0u;
    e.existe = std::min(e.tamanho, resta);
    return e;
}

std::string_view TextoDaDimensao(const TDimensao& d, const dbfRecord& arquivo) {
    if (d.NumCampo == 0 || d.NumCampo > arquivo.NumCampos || arquivo.RegistroAtual == nullptr) return {};
    const ExtensaoCodigo e = ExtensaoDaDimensao(d, arquivo);
    return std::string_view(arquivo.RegistroAtual + e.desloc, e.existe);
}

void LiberaDimensao(TDimensao& d) {
    if (d.NumCategorias == 0) return;
    d.NomesCategoria = {};
    d.Valores = {};
    d.Direta = {};
    d.Marcadas = {};
    d.Limites = {};
    if (d.Modo == 1) LiberaIndice(d.Indice);
    d.NumCategorias = 0;
}

} // namespace dorvan
