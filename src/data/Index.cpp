#include "data/Index.h"

#include "platform/Mensagens.h"

#include <cassert>

namespace dorvan {

namespace {

// The position of the first key not below chave (the last key when chave is above
// them all; 0 for an empty index). Plain byte order: std::string_view compares
// as unsigned char, so a key with 0xE7 sorts above one with 'z'.
std::int32_t Posicao(const TIndice& t, std::string_view chave) {
    std::int32_t lo = 1;
    std::int32_t hi = t.Quantidade();
    while (lo < hi) {
        std::int32_t mid = lo + (hi - lo) / 2;
        if (std::string_view(t.Chave(mid)) < chave)
            lo = mid + 1;
        else
            hi = mid;
    }
    return hi;
}

void MostraCheio(const TIndice& t) {
    MensagensAtuais().Mostra("Entradas excede m\xE1ximo " + std::to_string(t.Capacidade()));
}

} // namespace

void TIndice::DefineValor(std::int32_t posicao, std::int32_t valor) {
    assert(posicao >= 1 && posicao <= Quantidade());
    ItemMutavel(posicao).Valor = valor;
}

void CriaIndice(TIndice& t, std::int32_t capacidade) {
    LiberaIndice(t);
    t.capacidade_ = capacidade < 0 ? 0 : capacidade;
    // Most indexes stay far below their capacity (199001 for a few hundred map
    // rows), so room grows with use rather than up front.
    std::size_t reserva = static_cast<std::size_t>(t.capacidade_ < 1024 ? t.capacidade_ : 1024) + 1;
    t.itens_.reserve(reserva);
    t.ordem_.reserve(reserva);
}

bool BuscaIndice(const TIndice& t, std::string_view chave, std::int32_t& posicao, std::int32_t& valor) {
    posicao = Posicao(t, chave);
    valor = t.Valor(posicao);
    return posicao >= 1 && t.Chave(posicao) == chave;
}

std::int32_t ValorIndice(const TIndice& t, std::string_view chave) {
    std::int32_t p = Posicao(t, chave);
    if (p < 1) return 0;
    const ItemIndice& item = t.Item(p);
    if (item.Chave == chave) return item.Valor;
    // p is the first key above chave, unless chave is above every key.
    if (std::string_view(item.Chave) < chave) return 0;
    std::int32_t v = item.FimFaixa;
    if (v != 0 && p > 1 && t.Item(p - 1).InicioFaixa == v) return v;
    return 0;
}

bool InsereIndice(TIndice& t, std::string_view chave, std::int32_t valor) {
    std::int32_t n = t.Quantidade();
    bool acima = n == 0 || std::string_view(t.Chave(n)) < chave;
    std::int32_t p = 0;
    if (!acima) {
        std::int32_t v;
        if (BuscaIndice(t, chave, p, v)) {
            t.ItemMutavel(p).Valor = valor;
            return false;
        }
    }
    if (n >= t.Capacidade()) {
        MostraCheio(t);
        return false;
    }
    ItemIndice novo;
    novo.Chave.assign(chave);
    novo.Valor = valor;
    auto indiceNovo = static_cast<std::int32_t>(t.itens_.size());
    if (acima) {
        t.itens_.push_back(std::move(novo));
        t.ordem_.push_back(indiceNovo);
        return true;
    }
    // p holds the first key above chave; a key between the two bounds of one
    // range carries the range on both sides so the range stays whole around it.
    std::int32_t v = t.Item(p).FimFaixa;
    if (v != 0 && p > 1 && t.Item(p - 1).InicioFaixa == v) {
        novo.InicioFaixa = v;
        novo.FimFaixa = v;
    }
    t.itens_.push_back(std::move(novo));
    t.ordem_.insert(t.ordem_.begin() + p, indiceNovo);
    return true;
}

void InsereFaixa(TIndice& t, std::string_view baixo, std::string_view alto, std::int32_t valor) {
    InsereIndice(t, baixo, valor);
    InsereIndice(t, alto, valor);
    // Tag only bounds that are really stored: after a refusal the search lands
    // on a neighbouring key, which must not join the range.
    std::int32_t p, v;
    if (BuscaIndice(t, baixo, p, v)) t.ItemMutavel(p).InicioFaixa = valor;
    if (BuscaIndice(t, alto, p, v)) t.ItemMutavel(p).FimFaixa = valor;
}

bool MontaIndice::Insere(std::string_view chave, std::int32_t valor) {
    auto p = itens_.lower_bound(chave);
    if (p != itens_.end() && p->first == chave) {
        p->second.Valor = valor;
        return false;
    }
    if (Quantidade() >= capacidade_) {
        MensagensAtuais().Mostra("Entradas excede m\xE1ximo " + std::to_string(capacidade_));
        return false;
    }
    ItemIndice novo;
    novo.Chave.assign(chave);
    novo.Valor = valor;
    // Inside a range (the key below opens it, the one above closes it): tagged both ways.
    if (p != itens_.end() && p != itens_.begin()) {
        const std::int32_t v = p->second.FimFaixa;
        if (v != 0 && std::prev(p)->second.InicioFaixa == v) {
            novo.InicioFaixa = v;
            novo.FimFaixa = v;
        }
    }
    itens_.emplace_hint(p, novo.Chave, std::move(novo));
    return true;
}

void MontaIndice::InsereFaixa(std::string_view baixo, std::string_view alto, std::int32_t valor) {
    Insere(baixo, valor);
    Insere(alto, valor);
    if (auto p = itens_.find(baixo); p != itens_.end()) p->second.InicioFaixa = valor;
    if (auto p = itens_.find(alto); p != itens_.end()) p->second.FimFaixa = valor;
}

bool MontaIndice::Busca(std::string_view chave, std::int32_t& valor) const {
    auto p = itens_.find(chave);
    valor = p == itens_.end() ? 0 : p->second.Valor;
    return p != itens_.end();
}

void MontaIndice::Conclui(TIndice& t) {
    CriaIndice(t, capacidade_);
    t.itens_.reserve(itens_.size() + 1);
    t.ordem_.reserve(itens_.size() + 1);
    for (auto& [chave, item] : itens_) {
        t.ordem_.push_back(static_cast<std::int32_t>(t.itens_.size()));
        t.itens_.push_back(std::move(item));
    }
    itens_.clear();
}

void LiberaIndice(TIndice& t) {
    t.itens_.assign(1, ItemIndice{});
    t.itens_.shrink_to_fit();
    t.ordem_.assign(1, 0);
    t.ordem_.shrink_to_fit();
    t.capacidade_ = 0;
}

} // namespace dorvan
