#include "tabulation/JuntaResultados.h"

#include <algorithm>
#include <system_error>
#include <utility>

namespace dorvan::tabulacao {

void Juncao::AcrescentaColunasAdiadas() {
    if (f_.colunasAdiadas.empty()) return;
    auto acrescenta = [this] {
        for (const auto& titulo : f_.colunasAdiadas)
            if (!AcrescentaColuna(t_, titulo, 0)) break;
    };
    try {
        colunas_ = std::thread([this, acrescenta] {
            try {
                acrescenta();
            } catch (...) {
                erroColunas_ = std::current_exception();
            }
        });
    } catch (const std::system_error&) {
        acrescenta(); // no thread to spare
    }
}

void Juncao::EsperaColunas() {
    if (!colunas_.joinable()) return;
    colunas_.join();
    if (erroColunas_) std::rethrow_exception(std::exchange(erroColunas_, nullptr));
}

Juncao::~Juncao() {
    if (colunas_.joinable()) colunas_.join();
}

bool Juncao::Aplica(const Passo& p, ResultadoArquivo* r) {
    const std::int32_t cap = f_.cap;
    switch (p.tipo) {
    case Passo::Log:
        log_.Acrescenta(p.texto);
        return true;
    case Passo::Mensagem:
        msg_.Mostra(p.texto);
        aborta_ = true;
        return false;
    case Passo::Pausa:
        msg_.Mostra(p.texto);
        return true;
    case Passo::Arquivo:
        break;
    }
    EsperaColunas();
    // A file whose reading broke off (CRC or stream error) leaves nothing in the
    // table or the export: the table holds the files read in full, and says so.
    const bool emParte = r->varreu && r->aborta;
    if (r->aberto && !emParte && cfg_.temPeriodo) {
        std::string digitos = SoDigitos(p.comoEscrito);
        if (!digitos.empty()) periodos_.push_back(std::move(digitos));
    }
    for (const auto& e : r->eventos) {
        if (e.tipo == Evento::Mostra) {
            msg_.Mostra(e.texto);
        } else if (e.tipo == Evento::Log) {
            log_.Acrescenta(e.texto);
        } else {
            TDimensao aviso;
            aviso.Campo = e.campo;
            aviso.ValoresInvalidos = e.contagem;
            aviso.PrimeiroInvalido = e.texto;
            AvisaValoresInvalidos(aviso);
        }
    }
    for (std::size_t k = 0; k < r->decimaisIncr.size(); ++k) {
        if (r->decimaisIncr[k] < 0) continue;
        if (f_.temColuna)
            for (std::int32_t c = 1; c <= t_.NumColunas(); ++c)
                t_.Coluna(c).Decimais = r->decimaisIncr[k];
        else
            t_.Coluna(static_cast<std::int32_t>(k) + 1).Decimais = r->decimaisIncr[k];
    }
    if (r->varreu && !emParte) {
        if (r->viuNaoClassColuna && colunaNaoClass_ == 0) {
            std::int32_t dec = t_.NumColunas() > 0 ? t_.Coluna(t_.NumColunas()).Decimais : 0;
            if (AcrescentaColuna(t_, kNaoClassificados, dec)) colunaNaoClass_ = t_.NumColunas();
        }
        if (r->viuNaoClassLinha) t_.NumLinhas = cap;
        // Rows of this file's new codes, in their order: existing, new, or the last one.
        std::vector<std::int32_t> globais(r->novos.size());
        for (std::size_t i = 0; i < r->novos.size(); ++i) {
            std::int32_t global;
            auto it = linhasNovas_.find(r->novos[i]);
            if (it != linhasNovas_.end()) {
                global = it->second;
            } else if (t_.NumLinhas < cap - 1) {
                global = ++t_.NumLinhas;
                t_.Rotulo(global) = r->novos[i];
                linhasNovas_.emplace(r->novos[i], global);
            } else {
                // No row left: the code is counted in the last row, shown.
                global = cap;
                t_.NumLinhas = cap;
                codigosSemLinha_.insert(r->novos[i]);
            }
            globais[i] = global;
        }
        SomaCelulas(*r, globais);
    }
    if (emParte) {
        const std::string aviso = TextoArquivoLidoEmParte(SemPasta(p.texto), completos_);
        log_.Acrescenta(aviso);
        msg_.Mostra(aviso);
    } else {
        res_.RegistrosLidos += r->registros;
        GravaExportados(exp_, r->exportados, r->numExportados);
        res_.RegistrosExportados += r->numExportados;
        if (r->varreu) completos_.push_back(SemPasta(p.texto));
    }
    if (r->aborta) {
        aborta_ = true;
        return false;
    }
    return true;
}

void Juncao::SomaCelulas(const ResultadoArquivo& r, const std::vector<std::int32_t>& globais) {
    const std::int32_t N = f_.N;
    const int ncol = cfg_.ncol;
    const std::uint64_t largura = static_cast<std::uint64_t>(ncol) + 2;
    const std::uint64_t inicioNovos = static_cast<std::uint64_t>(N) + 2; // the first row of new codes
    auto soma = [&](std::uint64_t local, std::int32_t c, double valor) {
        const std::int32_t global = local < inicioNovos ? static_cast<std::int32_t>(local)
                                                        : globais[static_cast<std::size_t>(local - inicioNovos)];
        if (c <= ncol)
            t_.Dado(c, global) += valor;
        else if (colunaNaoClass_ != 0)
            t_.Dado(colunaNaoClass_, global) += valor;
    };
    // Every cell of rows 1..N+1 gets one sum from the file, in whatever order. Rows of
    // new codes may share the last row: they are added in row order, so the sums
    // are those of a one-thread run to the last bit.
    std::vector<std::pair<std::uint64_t, double>> novas;
    r.celulas.ParaCada([&](std::uint32_t linha, std::uint32_t coluna, double valor) {
        if (valor == 0) return;
        if (linha < inicioNovos)
            soma(linha, static_cast<std::int32_t>(coluna), valor);
        else
            novas.emplace_back(std::uint64_t{linha} * largura + coluna, valor);
    });
    std::sort(novas.begin(), novas.end());
    for (const auto& [celula, valor] : novas)
        soma(celula / largura, static_cast<std::int32_t>(celula % largura), valor);
}

void Juncao::Conclui(const DefTabulacao& def) {
    EsperaColunas();
    if (!codigosSemLinha_.empty())
        log_.Acrescenta(std::to_string(codigosSemLinha_.size()) +
                        " c\xF3"
                        "digos sem linha pr\xF3pria somados em " +
                        kNaoClassificados);
    if (def.TemPeriodo) t_.Rodape = (def.Rodape + " " + TextoPeriodo(periodos_)).substr(0, 80);
}

} // namespace dorvan::tabulacao
