#pragma once
// The main window's print command ("&Imprimir") and the spreadsheet button
// ("Abrir esta tabela na planilha padrão").
namespace dorvan {

class TForm1;

void LigaComandosImpressao(TForm1& f);

} // namespace dorvan
