#pragma once
// A table view whose first rows and first column stay in place while the rest
// scrolls: three views over the same model sit in the margins of the main one
// (titles and totals on top, the labels at the left, the corner between), and
// the main one hides those rows and that column. Hiding three sections costs
// nothing however large the table is.
#include <QTableView>

namespace dorvan {

class GradeFixa : public QTableView {
public:
    explicit GradeFixa(QWidget* pai = nullptr);

    void setModel(QAbstractItemModel* modelo) override;

    // Freezes the first `linhas` rows and `colunas` columns (0 or 1), again after
    // every model reset.
    void DefineFixas(int linhas, int colunas);
    // Width of column c in every view.
    void DefineLargura(int c, int largura);
    // Default row height in every view.
    void DefineAlturaLinhas(int altura);

    QTableView* Topo() const { return topo_; }
    QTableView* Esquerda() const { return esquerda_; }
    QTableView* Canto() const { return canto_; }
    // The view that owns this viewport (this one or an overlay), or null.
    QTableView* DonoDoViewport(const QObject* viewport) const;

protected:
    void resizeEvent(QResizeEvent* e) override;
    void updateGeometries() override;

private:
    QTableView* NovaSobreposta();
    void Posiciona();
    int AlturaFixa() const;
    int LarguraFixa() const;

    QTableView* topo_ = nullptr;
    QTableView* esquerda_ = nullptr;
    QTableView* canto_ = nullptr;
    int linhas_ = 0, colunas_ = 0;
    bool posicionando_ = false;
};

} // namespace dorvan
