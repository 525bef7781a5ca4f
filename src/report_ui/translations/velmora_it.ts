<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="it_IT">
<context>
    <name>report::TfrmPreview</name>
    <message>
        <source>Preview</source>
        <translation>Anteprima</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Stampa</translation>
    </message>
    <message>
        <source>Page width</source>
        <translation>Larghezza pagina</translation>
    </message>
    <message>
        <source>Whole page</source>
        <translation>Pagina intera</translation>
    </message>
    <message>
        <source>Zoom</source>
        <translation>Zoom</translation>
    </message>
    <message>
        <source>Full Screen</source>
        <translation>Schermo intero</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Chiudi</translation>
    </message>
    <message>
        <source>Pages</source>
        <translation>Pagine</translation>
    </message>
    <message>
        <source>Page %1 of %2</source>
        <translation>Pagina %1 di %2</translation>
    </message>
</context>
<context>
    <name>report::TfrmPrintDialog</name>
    <message>
        <source>Print to file</source>
        <translation>Stampa su file</translation>
    </message>
    <message>
        <source>PDF file (*.pdf)</source>
        <translation>File PDF (*.pdf)</translation>
    </message>
    <message>
        <source>Printer file (*.prn)</source>
        <translation>File di stampa (*.prn)</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annulla</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Stampa</translation>
    </message>
    <message>
        <source>Printer</source>
        <translation>Stampante</translation>
    </message>
    <message>
        <source>Properties...</source>
        <translation>Proprietà...</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Nome:</translation>
    </message>
    <message>
        <source>Where:</source>
        <translation>Percorso:</translation>
    </message>
    <message>
        <source>Pages</source>
        <translation>Pagine</translation>
    </message>
    <message>
        <source>All</source>
        <translation>Tutte</translation>
    </message>
    <message>
        <source>Current page</source>
        <translation>Pagina corrente</translation>
    </message>
    <message>
        <source>Pages:</source>
        <translation>Pagine:</translation>
    </message>
    <message>
        <source>Enter page numbers and/or page ranges, separated by commas. For example, 1,3,5-12</source>
        <translation>Immettere i numeri di pagina e/o gli intervalli di pagine, separati da virgole. Ad esempio, 1,3,5-12</translation>
    </message>
    <message>
        <source>Copies</source>
        <translation>Copie</translation>
    </message>
    <message>
        <source>Collate</source>
        <translation>Fascicola</translation>
    </message>
    <message>
        <source>Number of copies</source>
        <translation>Numero di copie</translation>
    </message>
    <message>
        <source>Other</source>
        <translation>Altro</translation>
    </message>
    <message>
        <source>All pages</source>
        <translation>Tutte le pagine</translation>
    </message>
    <message>
        <source>Odd pages</source>
        <translation>Pagine dispari</translation>
    </message>
    <message>
        <source>Even pages</source>
        <translation>Pagine pari</translation>
    </message>
    <message>
        <source>Direct (1-9)</source>
        <translation>Diretto (1-9)</translation>
    </message>
    <message>
        <source>Reverse (9-1)</source>
        <translation>Inverso (9-1)</translation>
    </message>
    <message>
        <source>Default</source>
        <translation>Predefinito</translation>
    </message>
    <message>
        <source>Vertical</source>
        <translation>Verticale</translation>
    </message>
    <message>
        <source>Horizontal</source>
        <translation>Orizzontale</translation>
    </message>
    <message>
        <source>Simplex</source>
        <translation>Solo fronte</translation>
    </message>
    <message>
        <source>Order</source>
        <translation>Ordine</translation>
    </message>
    <message>
        <source>Duplex</source>
        <translation>Fronte/retro</translation>
    </message>
    <message>
        <source>Print mode</source>
        <translation>Modalità di stampa</translation>
    </message>
    <message>
        <source>Split big pages</source>
        <translation>Dividi le pagine grandi</translation>
    </message>
    <message>
        <source>Join small pages</source>
        <translation>Unisci le pagine piccole</translation>
    </message>
    <message>
        <source>Scale</source>
        <translation>Adatta al foglio</translation>
    </message>
    <message>
        <source>Letter</source>
        <translation>Lettera</translation>
    </message>
    <message>
        <source>Legal</source>
        <translation>Legale</translation>
    </message>
    <message>
        <source>Print on sheet</source>
        <translation>Stampa sul foglio</translation>
    </message>
    <message>
        <source>No page in the range</source>
        <translation>Nessuna pagina nell&apos;intervallo</translation>
    </message>
</context>
<context>
    <name>report::TfrmPrinterProperties</name>
    <message>
        <source>Properties</source>
        <translation>Proprietà</translation>
    </message>
</context>
</TS>
