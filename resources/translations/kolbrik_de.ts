<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Localizable</name>
    <message>
        <source>CAPTION</source>
        <translation>%1 – Kolbrik Viewer</translation>
    </message>
    <message>
        <source>SHEETWAITOPENMODEL</source>
        <translation>Das Modell wird geöffnet …</translation>
    </message>
    <message>
        <source>ORIGINAL</source>
        <translation>Originalmodell: %1</translation>
    </message>
    <message>
        <source>ERSTELLTVON</source>
        <translation>Gebaut von: %1</translation>
    </message>
    <message>
        <source>SHEETWAITEXPORTVRML</source>
        <translation>Die Szene wird als VRML exportiert …</translation>
    </message>
    <message>
        <source>VRMLTITLE</source>
        <translation>VRML-Export</translation>
    </message>
    <message>
        <source>VRMLFINISH</source>
        <translation>Die Szene wurde als VRML-Datei geschrieben.</translation>
    </message>
</context>
<context>
    <name>MainWindowController</name>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>&amp;Phase</source>
        <translation>&amp;Bauphase</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>Tools</source>
        <translation>Werkzeuge</translation>
    </message>
    <message>
        <source>&amp;Open…</source>
        <translation>Ö&amp;ffnen …</translation>
    </message>
    <message>
        <source>&amp;Library…</source>
        <translation>&amp;Bibliothek …</translation>
    </message>
    <message>
        <source>&amp;Export as VRML…</source>
        <translation>Als VRML &amp;exportieren …</translation>
    </message>
    <message>
        <source>&amp;Print…</source>
        <translation>&amp;Drucken …</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;Grid</source>
        <translation>&amp;Raster</translation>
    </message>
    <message>
        <source>&amp;Deselect all</source>
        <translation>Auswahl &amp;aufheben</translation>
    </message>
    <message>
        <source>&amp;Centre on selected part</source>
        <translation>Auf gewähltes Bauteil &amp;zentrieren</translation>
    </message>
    <message>
        <source>&amp;Part information</source>
        <translation>Bauteil-&amp;Info</translation>
    </message>
    <message>
        <source>&amp;Refresh</source>
        <translation>&amp;Aktualisieren</translation>
    </message>
    <message>
        <source>&amp;Settings…</source>
        <translation>&amp;Einstellungen …</translation>
    </message>
    <message>
        <source>&amp;Choose phase…</source>
        <translation>Bauphase &amp;wählen …</translation>
    </message>
    <message>
        <source>&amp;About Kolbrik Viewer</source>
        <translation>Ü&amp;ber Kolbrik Viewer</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Version %1</translation>
    </message>
    <message>
        <source>Select</source>
        <translation>Wählen</translation>
    </message>
    <message>
        <source>Navigate</source>
        <translation>Bewegen</translation>
    </message>
    <message>
        <source>Hide</source>
        <translation>Ausblenden</translation>
    </message>
    <message>
        <source>A click selects the part under the pointer</source>
        <translation>Ein Klick wählt das Bauteil unter dem Zeiger</translation>
    </message>
    <message>
        <source>Drag to orbit; double-click a part to look at it</source>
        <translation>Ziehen dreht die Ansicht; Doppelklick auf ein Bauteil richtet die Kamera darauf</translation>
    </message>
    <message>
        <source>A click hides the part under the pointer</source>
        <translation>Ein Klick blendet das Bauteil unter dem Zeiger aus</translation>
    </message>
    <message>
        <source>Previous building phase</source>
        <translation>Vorige Bauphase</translation>
    </message>
    <message>
        <source>Building phase shown</source>
        <translation>Gezeigte Bauphase</translation>
    </message>
    <message>
        <source>Next building phase</source>
        <translation>Nächste Bauphase</translation>
    </message>
    <message>
        <source>Grid</source>
        <translation>Raster</translation>
    </message>
    <message>
        <source>The model could not be opened</source>
        <translation>Das Modell konnte nicht geöffnet werden</translation>
    </message>
    <message>
        <source>Open model</source>
        <translation>Modell öffnen</translation>
    </message>
    <message>
        <source>Kolbrik models (*.kmf)</source>
        <translation>Kolbrik-Modelle (*.kmf)</translation>
    </message>
    <message>
        <source>Print model</source>
        <translation>Modell drucken</translation>
    </message>
    <message>
        <source>Export as VRML</source>
        <translation>Als VRML exportieren</translation>
    </message>
    <message>
        <source>VRML files (*.wrl)</source>
        <translation>VRML-Dateien (*.wrl)</translation>
    </message>
    <message>
        <source>The model is not written over</source>
        <translation>Das Modell wird nicht überschrieben</translation>
    </message>
    <message>
        <source>%1 is the model being shown; choose another file name.</source>
        <translation>%1 ist das angezeigte Modell; bitte einen anderen Dateinamen wählen.</translation>
    </message>
    <message>
        <source>Nothing to export</source>
        <translation>Nichts zu exportieren</translation>
    </message>
    <message>
        <source>Open a model first; there is nothing to export yet.</source>
        <translation>Öffnen Sie zuerst ein Modell; noch gibt es nichts zu exportieren.</translation>
    </message>
    <message>
        <source>The export failed</source>
        <translation>Der Export ist fehlgeschlagen</translation>
    </message>
    <message>
        <source>No models to show. The library folder %1 is missing or holds no kit folders.</source>
        <translation>Keine Modelle vorhanden. Der Bibliotheksordner %1 fehlt oder enthält keine Baukasten-Ordner.</translation>
    </message>
    <message numerus="yes">
        <source>%n part(s)</source>
        <translation>
            <numerusform>%n Teil</numerusform>
            <numerusform>%n Teile</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n phase(s)</source>
        <translation>
            <numerusform>%n Bauphase</numerusform>
            <numerusform>%n Bauphasen</numerusform>
        </translation>
    </message>
    <message>
        <source>Open &amp;Recent</source>
        <translation>&amp;Zuletzt geöffnet</translation>
    </message>
    <message>
        <source>Only model files (.kmf) can be opened here.</source>
        <translation>Hier lassen sich nur Modelldateien (.kmf) öffnen.</translation>
    </message>
    <message>
        <source>%1 is not a model file; only model files (.kmf) can be opened.</source>
        <translation>%1 ist keine Modelldatei; nur Modelldateien (.kmf) lassen sich öffnen.</translation>
    </message>
    <message>
        <source>%1 no longer exists; it was removed from the recent models.</source>
        <translation>%1 gibt es nicht mehr; die Datei wurde aus den zuletzt geöffneten Modellen entfernt.</translation>
    </message>
    <message numerus="yes">
        <source>%n recent model(s) no longer exist and were removed from the list.</source>
        <translation>
            <numerusform>%n zuletzt geöffnetes Modell gibt es nicht mehr; es wurde aus der Liste entfernt.</numerusform>
            <numerusform>%n zuletzt geöffnete Modelle gibt es nicht mehr; sie wurden aus der Liste entfernt.</numerusform>
        </translation>
    </message>
    <message>
        <source>Printing failed</source>
        <translation>Das Drucken ist fehlgeschlagen</translation>
    </message>
    <message>
        <source>Phase %1</source>
        <translation>Bauphase %1</translation>
    </message>
</context>
<context>
    <name>vxMessageBar</name>
    <message>
        <source>Details…</source>
        <translation>Details …</translation>
    </message>
    <message>
        <source>Close this message</source>
        <translation>Diese Meldung schließen</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>The file is empty.</source>
        <translation>Die Datei ist leer.</translation>
    </message>
    <message>
        <source>The file does not hold text; it is not a model file.</source>
        <translation>Die Datei enthält keinen Text; sie ist keine Modelldatei.</translation>
    </message>
    <message>
        <source>The file&apos;s lines end in %1 alone instead of CR LF, so nothing could be read.</source>
        <translation>Die Zeilen der Datei enden nur mit %1 statt mit CR LF, daher ließ sich nichts lesen.</translation>
    </message>
    <message>
        <source>The file holds no model sections ([CAMERA], [COMMON], [PART…]); it is not a model file.</source>
        <translation>Die Datei enthält keine Modellabschnitte ([CAMERA], [COMMON], [PART…]); sie ist keine Modelldatei.</translation>
    </message>
    <message numerus="yes">
        <source>%n part(s) have no [PART] section with a name; the file may be cut short</source>
        <translation>
            <numerusform>%n Teil hat keinen [PART]-Abschnitt mit Namen; die Datei ist vielleicht unvollständig</numerusform>
            <numerusform>%n Teile haben keinen [PART]-Abschnitt mit Namen; die Datei ist vielleicht unvollständig</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 is not in the part catalogue (%2×)</source>
        <translation>%1 fehlt im Teilekatalog (%2×)</translation>
    </message>
    <message>
        <source>The shape of %1 is missing or unreadable (%2×)</source>
        <translation>Die Form von %1 fehlt oder ist nicht lesbar (%2×)</translation>
    </message>
    <message>
        <source>The shape of %1 holds no triangle (%2×)</source>
        <translation>Die Form von %1 enthält kein Dreieck (%2×)</translation>
    </message>
    <message>
        <source>Line %1: %2=%3 is not a number; read as %4</source>
        <translation>Zeile %1: %2=%3 ist keine Zahl; gelesen als %4</translation>
    </message>
    <message>
        <source>Line %1: %2=%3 in %4 is not a number; read as %5</source>
        <translation>Zeile %1: %2=%3 in %4 ist keine Zahl; gelesen als %5</translation>
    </message>
    <message numerus="yes">
        <source>%1… (%n character(s))</source>
        <translation>
            <numerusform>%1… (%n Zeichen)</numerusform>
            <numerusform>%1… (%n Zeichen)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n more value(s) are not numbers</source>
        <translation>
            <numerusform>%n weiterer Wert ist keine Zahl</numerusform>
            <numerusform>%n weitere Werte sind keine Zahlen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 and %n more tube(s) have fewer than two nodes and are not drawn</source>
        <translation>
            <numerusform>%1 und %n weiterer Schlauch haben weniger als zwei Knoten und werden nicht gezeichnet</numerusform>
            <numerusform>%1 und %n weitere Schläuche haben weniger als zwei Knoten und werden nicht gezeichnet</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 has fewer than two nodes and is not drawn</source>
        <translation>%1 hat weniger als zwei Knoten und wird nicht gezeichnet</translation>
    </message>
    <message numerus="yes">
        <source>%1 and %n more tube(s) have a node that is not a finite number and are not drawn</source>
        <translation>
            <numerusform>%1 und %n weiterer Schlauch haben einen Knoten, der keine endliche Zahl ist, und werden nicht gezeichnet</numerusform>
            <numerusform>%1 und %n weitere Schläuche haben einen Knoten, der keine endliche Zahl ist, und werden nicht gezeichnet</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 has a node that is not a finite number and is not drawn</source>
        <translation>%1 hat einen Knoten, der keine endliche Zahl ist, und wird nicht gezeichnet</translation>
    </message>
    <message numerus="yes">
        <source>%1 and %n more tube(s) have no radius above 0 and are not drawn</source>
        <translation>
            <numerusform>%1 und %n weiterer Schlauch haben keinen Radius über 0 und werden nicht gezeichnet</numerusform>
            <numerusform>%1 und %n weitere Schläuche haben keinen Radius über 0 und werden nicht gezeichnet</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 has no radius above 0 and is not drawn</source>
        <translation>%1 hat keinen Radius über 0 und wird nicht gezeichnet</translation>
    </message>
    <message numerus="yes">
        <source>%n part(s) could not be shown: %1</source>
        <translation>
            <numerusform>%n Teil konnte nicht angezeigt werden: %1</numerusform>
            <numerusform>%n Teile konnten nicht angezeigt werden: %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n value(s) could not be read as numbers: %1</source>
        <translation>
            <numerusform>%n Wert ließ sich nicht als Zahl lesen: %1</numerusform>
            <numerusform>%n Werte ließen sich nicht als Zahlen lesen: %1</numerusform>
        </translation>
    </message>
    <message>
        <source>Details</source>
        <translation>Details</translation>
    </message>
    <message>
        <source>Details: %1</source>
        <translation>Details: %1</translation>
    </message>
</context>
<context>
    <name>vxModelStatus</name>
    <message>
        <source>%1 of %2 parts shown</source>
        <translation>%1 von %2 Teilen angezeigt</translation>
    </message>
    <message>
        <source>Phase %1 of %2</source>
        <translation>Bauphase %1 von %2</translation>
    </message>
    <message>
        <source>Phase %1 of %2 (step control at %3)</source>
        <translation>Bauphase %1 von %2 (Schrittschalter auf %3)</translation>
    </message>
</context>
<context>
    <name>vxPartPanelController</name>
    <message>
        <source>Part information</source>
        <translation>Bauteil-Info</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>Article no.:</source>
        <translation>Artikelnr.:</translation>
    </message>
</context>
<context>
    <name>vxRecentFiles</name>
    <message>
        <source>No recent models</source>
        <translation>Keine zuletzt geöffneten Modelle</translation>
    </message>
    <message>
        <source>Clear list</source>
        <translation>Liste leeren</translation>
    </message>
    <message>
        <source>%1 — in %2</source>
        <translation>%1 — in %2</translation>
    </message>
</context>
<context>
    <name>vxSheetAbout</name>
    <message>
        <source>About Kolbrik Viewer</source>
        <translation>Über Kolbrik Viewer</translation>
    </message>
    <message>
        <source>Look at models built from the Kolbrik construction kit: orbit, zoom, follow the building phases, identify parts and export the geometry as glTF, STL, OBJ or VRML.</source>
        <translation>Modelle aus dem Kolbrik-Baukasten ansehen: drehen, zoomen, den Bauphasen folgen, Bauteile bestimmen und die Geometrie als glTF, STL, OBJ oder VRML exportieren.</translation>
    </message>
</context>
<context>
    <name>vxSheetBuildingPhase</name>
    <message>
        <source>Choose building phase</source>
        <translation>Bauphase wählen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>vxSheetLibrary</name>
    <message>
        <source>Model library</source>
        <translation>Modellbibliothek</translation>
    </message>
    <message>
        <source>Kits</source>
        <translation>Baukästen</translation>
    </message>
    <message>
        <source>Models (click one to open it)</source>
        <translation>Modelle (Klick öffnet das Modell)</translation>
    </message>
    <message>
        <source>Filter by name</source>
        <translation>Nach Namen filtern</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
</context>
<context>
    <name>vxSheetParameter</name>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Paint parts of earlier building phases white</source>
        <translation>Bauteile früherer Bauphasen weiß zeichnen</translation>
    </message>
    <message>
        <source>Navigation</source>
        <translation>Navigation</translation>
    </message>
    <message>
        <source>Turning the wheel away from you zooms out</source>
        <translation>Mausrad von Ihnen weg drehen verkleinert</translation>
    </message>
    <message>
        <source>The wheel zooms towards the pointer</source>
        <translation>Das Mausrad zoomt zum Zeiger hin</translation>
    </message>
    <message>
        <source>Glide to fitted, reset and standard views</source>
        <translation>Sanft zu eingepassten, zurückgesetzten und Standardansichten gleiten</translation>
    </message>
</context>
<context>
    <name>vxSheetWait</name>
    <message>
        <source>Please wait</source>
        <translation>Bitte warten</translation>
    </message>
</context>
<context>
    <name>vxStartPage</name>
    <message>
        <source>Open a model to look at it from all sides, follow how it is built phase by phase and find out about every part.</source>
        <translation>Öffnen Sie ein Modell, um es von allen Seiten anzusehen, seinem Aufbau Bauphase für Bauphase zu folgen und jedes Teil kennenzulernen.</translation>
    </message>
    <message>
        <source>Open a model…</source>
        <translation>Modell öffnen …</translation>
    </message>
    <message>
        <source>Browse the library…</source>
        <translation>Bibliothek durchsuchen …</translation>
    </message>
    <message>
        <source>Recent models</source>
        <translation>Zuletzt geöffnete Modelle</translation>
    </message>
    <message>
        <source>No models opened yet.</source>
        <translation>Noch keine Modelle geöffnet.</translation>
    </message>
    <message>
        <source>You can also drop a model file (.kmf) onto this window.</source>
        <translation>Sie können eine Modelldatei (.kmf) auch auf dieses Fenster ziehen.</translation>
    </message>
    <message>
        <source>%1 — in %2</source>
        <translation>%1 — in %2</translation>
    </message>
</context>
<context>
    <name>vxDrawStyleCommands</name>
    <message>
        <source>&amp;Classic</source>
        <translation>&amp;Klassisch</translation>
    </message>
    <message>
        <source>Flat facets without outlines</source>
        <translation>Flache Facetten ohne Umrisse</translation>
    </message>
    <message>
        <source>&amp;Outlined</source>
        <translation>&amp;Umrandet</translation>
    </message>
    <message>
        <source>Smooth curves, dark edge lines, smoothed edges</source>
        <translation>Glatte Rundungen, dunkle Kantenlinien, geglättete Ränder</translation>
    </message>
    <message>
        <source>Outlined</source>
        <translation>Umrandet</translation>
    </message>
    <message>
        <source>Draw the parts with outlines and smooth curves</source>
        <translation>Die Teile mit Umrissen und glatten Rundungen zeichnen</translation>
    </message>
    <message>
        <source>Drawing st&amp;yle</source>
        <translation>Zeichen&amp;stil</translation>
    </message>
</context>
<context>
    <name>vxViewCommands</name>
    <message>
        <source>&amp;Fit model</source>
        <translation>&amp;Modell einpassen</translation>
    </message>
    <message>
        <source>Fit s&amp;election</source>
        <translation>Aus&amp;wahl einpassen</translation>
    </message>
    <message>
        <source>Reset &amp;view</source>
        <translation>A&amp;nsicht zurücksetzen</translation>
    </message>
    <message>
        <source>S&amp;tandard views</source>
        <translation>S&amp;tandardansichten</translation>
    </message>
    <message>
        <source>&amp;Front</source>
        <translation>&amp;Vorderansicht</translation>
    </message>
    <message>
        <source>&amp;Back</source>
        <translation>&amp;Rückansicht</translation>
    </message>
    <message>
        <source>&amp;Left</source>
        <comment>standard view</comment>
        <translation>&amp;Linke Seite</translation>
    </message>
    <message>
        <source>&amp;Right</source>
        <comment>standard view</comment>
        <translation>R&amp;echte Seite</translation>
    </message>
    <message>
        <source>&amp;Top</source>
        <translation>&amp;Draufsicht</translation>
    </message>
    <message>
        <source>B&amp;ottom</source>
        <translation>&amp;Untersicht</translation>
    </message>
    <message>
        <source>Three-&amp;quarter view</source>
        <translation>Dreiviertel&amp;ansicht</translation>
    </message>
    <message>
        <source>&amp;Orthographic</source>
        <translation>&amp;Orthografisch</translation>
    </message>
    <message>
        <source>Show &amp;cables and tubes</source>
        <translation>&amp;Kabel und Schläuche zeigen</translation>
    </message>
    <message>
        <source>Zoom &amp;in</source>
        <translation>Ver&amp;größern</translation>
    </message>
    <message>
        <source>Zoom o&amp;ut</source>
        <translation>Ver&amp;kleinern</translation>
    </message>
    <message>
        <source>Tur&amp;n</source>
        <translation>&amp;Drehen</translation>
    </message>
    <message>
        <source>&amp;Left</source>
        <comment>turn</comment>
        <translation>Nach &amp;links</translation>
    </message>
    <message>
        <source>&amp;Right</source>
        <comment>turn</comment>
        <translation>Nach &amp;rechts</translation>
    </message>
    <message>
        <source>&amp;Up</source>
        <translation>Nach &amp;oben</translation>
    </message>
    <message>
        <source>&amp;Down</source>
        <translation>Nach &amp;unten</translation>
    </message>
    <message>
        <source>&amp;Work mode</source>
        <translation>Ar&amp;beitsmodus</translation>
    </message>
    <message>
        <source>&amp;Select</source>
        <translation>&amp;Wählen</translation>
    </message>
    <message>
        <source>&amp;Navigate</source>
        <translation>&amp;Bewegen</translation>
    </message>
    <message>
        <source>&amp;Hide</source>
        <translation>&amp;Ausblenden</translation>
    </message>
    <message>
        <source>&amp;Previous phase</source>
        <translation>&amp;Vorige Bauphase</translation>
    </message>
    <message>
        <source>&amp;Next phase</source>
        <translation>&amp;Nächste Bauphase</translation>
    </message>
    <message>
        <source>Sa&amp;ve picture…</source>
        <translation>Bild &amp;speichern …</translation>
    </message>
    <message>
        <source>&amp;Copy picture</source>
        <translation>Bild &amp;kopieren</translation>
    </message>
    <message>
        <source>&amp;Keyboard shortcuts</source>
        <translation>&amp;Tastenkürzel</translation>
    </message>
    <message>
        <source>No part is shown, so there is nothing to fit.</source>
        <translation>Es wird kein Bauteil gezeigt, also gibt es nichts einzupassen.</translation>
    </message>
    <message>
        <source>No part is selected: select one in the Select work mode first.</source>
        <translation>Kein Bauteil gewählt: Wählen Sie zuerst eines im Arbeitsmodus „Wählen“.</translation>
    </message>
    <message>
        <source>The picture could not be encoded as PNG.</source>
        <translation>Das Bild konnte nicht als PNG kodiert werden.</translation>
    </message>
    <message>
        <source>Save picture</source>
        <translation>Bild speichern</translation>
    </message>
    <message>
        <source> pixels</source>
        <translation> Pixel</translation>
    </message>
    <message>
        <source>Width:</source>
        <translation>Breite:</translation>
    </message>
    <message>
        <source>Height:</source>
        <translation>Höhe:</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>PNG pictures (*.png)</source>
        <translation>PNG-Bilder (*.png)</translation>
    </message>
    <message>
        <source>The picture was saved as %1.</source>
        <translation>Das Bild wurde als %1 gespeichert.</translation>
    </message>
    <message>
        <source>The picture was not saved</source>
        <translation>Das Bild wurde nicht gespeichert</translation>
    </message>
    <message>
        <source>The picture of the view is on the clipboard.</source>
        <translation>Das Bild der Ansicht liegt in der Zwischenablage.</translation>
    </message>
    <message>
        <source>The picture could not be copied: %1</source>
        <translation>Das Bild konnte nicht kopiert werden: %1</translation>
    </message>
    <message>
        <source>Phase %1 of %2</source>
        <translation>Bauphase %1 von %2</translation>
    </message>
    <message>
        <source>The printer could not be started.</source>
        <translation>Der Drucker konnte nicht gestartet werden.</translation>
    </message>
    <message>
        <source>Keyboard shortcuts</source>
        <translation>Tastenkürzel</translation>
    </message>
    <message>
        <source>Command</source>
        <translation>Befehl</translation>
    </message>
    <message>
        <source>Keys</source>
        <translation>Tasten</translation>
    </message>
    <message>
        <source> or </source>
        <translation> oder </translation>
    </message>
    <message>
        <source>Mouse</source>
        <translation>Maus</translation>
    </message>
    <message>
        <source>Turn around the target (Navigate)</source>
        <translation>Um das Ziel drehen (Bewegen)</translation>
    </message>
    <message>
        <source>Drag</source>
        <translation>Ziehen</translation>
    </message>
    <message>
        <source>Move the view (pan)</source>
        <translation>Ansicht verschieben</translation>
    </message>
    <message>
        <source>Middle-drag, or Shift+drag in Navigate</source>
        <translation>Mit der mittleren Taste ziehen, oder Umschalt+Ziehen in „Bewegen“</translation>
    </message>
    <message>
        <source>Zoom</source>
        <translation>Zoomen</translation>
    </message>
    <message>
        <source>Wheel (away from you zooms in, unless set otherwise)</source>
        <translation>Mausrad (von Ihnen weg vergrößert, sofern nicht anders eingestellt)</translation>
    </message>
    <message>
        <source>Look at a part (Navigate)</source>
        <translation>Ein Bauteil anblicken (Bewegen)</translation>
    </message>
    <message>
        <source>Double-click the part</source>
        <translation>Doppelklick auf das Bauteil</translation>
    </message>
    <message>
        <source>Select or hide a part (Select, Hide)</source>
        <translation>Ein Bauteil wählen oder ausblenden (Wählen, Ausblenden)</translation>
    </message>
    <message>
        <source>Click the part</source>
        <translation>Klick auf das Bauteil</translation>
    </message>
</context>
<context>
    <name>vxGLWidget</name>
    <message>
        <source>The picture has no size.</source>
        <translation>Das Bild hat keine Größe.</translation>
    </message>
    <message>
        <source>The view is not shown yet.</source>
        <translation>Die Ansicht wird noch nicht angezeigt.</translation>
    </message>
    <message>
        <source>The picture may be at most %1 pixels wide and high.</source>
        <translation>Das Bild darf höchstens %1 Pixel breit und hoch sein.</translation>
    </message>
    <message>
        <source>The graphics driver cannot draw a picture of %1 × %2 pixels.</source>
        <translation>Der Grafiktreiber kann kein Bild von %1 × %2 Pixeln zeichnen.</translation>
    </message>
</context>
<context>
    <name>vxExportCommand</name>
    <message>
        <source>E&amp;xport…</source>
        <translation>E&amp;xportieren …</translation>
    </message>
    <message>
        <source>glTF binary (*.glb)</source>
        <translation>glTF binär (*.glb)</translation>
    </message>
    <message>
        <source>glTF text (*.gltf)</source>
        <translation>glTF als Text (*.gltf)</translation>
    </message>
    <message>
        <source>STL for 3D printing (*.stl)</source>
        <translation>STL für den 3D-Druck (*.stl)</translation>
    </message>
    <message>
        <source>Wavefront OBJ (*.obj)</source>
        <translation>Wavefront OBJ (*.obj)</translation>
    </message>
    <message>
        <source>VRML 1.0 (*.wrl)</source>
        <translation>VRML 1.0 (*.wrl)</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Exportieren</translation>
    </message>
    <message>
        <source>Exporting the model…</source>
        <translation>Das Modell wird exportiert …</translation>
    </message>
    <message>
        <source>The export failed</source>
        <translation>Der Export ist fehlgeschlagen</translation>
    </message>
    <message>
        <source>Export finished</source>
        <translation>Export abgeschlossen</translation>
    </message>
    <message>
        <source>The model has been written to %1.</source>
        <translation>Das Modell wurde in %1 geschrieben.</translation>
    </message>
    <message>
        <source>Nothing to export</source>
        <translation>Nichts zu exportieren</translation>
    </message>
    <message>
        <source>Open a model first; there is nothing to export yet.</source>
        <translation>Öffnen Sie zuerst ein Modell; noch gibt es nichts zu exportieren.</translation>
    </message>
</context>
<context>
    <name>vxBooklet</name>
    <message>
        <source>The pages cannot be written.</source>
        <translation>Die Seiten können nicht geschrieben werden.</translation>
    </message>
    <message>
        <source>Stopped.</source>
        <translation>Abgebrochen.</translation>
    </message>
    <message>
        <source>Page %1 of %2</source>
        <translation>Seite %1 von %2</translation>
    </message>
    <message>
        <source>Original model: %1</source>
        <translation>Originalmodell: %1</translation>
    </message>
    <message>
        <source>Built by: %1</source>
        <translation>Gebaut von: %1</translation>
    </message>
    <message>
        <source>%1 of %2, %3</source>
        <translation>%1 in %2, %3</translation>
    </message>
    <message>
        <source>Parts list</source>
        <translation>Stückliste</translation>
    </message>
    <message>
        <source>Every part the model needs</source>
        <translation>Alle Bauteile, die das Modell braucht</translation>
    </message>
    <message>
        <source>In total: %1 of %2</source>
        <translation>Insgesamt: %1 in %2</translation>
    </message>
    <message>
        <source>not in the catalogue</source>
        <translation>nicht im Katalog</translation>
    </message>
    <message>
        <source>en</source>
        <comment>language of the colour names: en or de</comment>
        <translation>de</translation>
    </message>
    <message>
        <source>Cable or rope, %1 mm</source>
        <translation>Kabel oder Seil, %1 mm</translation>
    </message>
    <message>
        <source>%1 mm at true size</source>
        <translation>%1 mm in Originalgröße</translation>
    </message>
    <message>
        <source>Turn over</source>
        <translation>Umdrehen</translation>
    </message>
    <message>
        <source>Turn %1°</source>
        <translation>%1° drehen</translation>
    </message>
    <message>
        <source>%1 mm thick</source>
        <translation>%1 mm dick</translation>
    </message>
    <message>
        <source>1 part</source>
        <translation>1 Bauteil</translation>
    </message>
    <message>
        <source>%1 parts</source>
        <translation>%1 Bauteile</translation>
    </message>
    <message>
        <source>1 kind</source>
        <translation>1 Sorte</translation>
    </message>
    <message>
        <source>%1 kinds</source>
        <translation>%1 Sorten</translation>
    </message>
    <message>
        <source>1 step</source>
        <translation>1 Schritt</translation>
    </message>
    <message>
        <source>%1 steps</source>
        <translation>%1 Schritte</translation>
    </message>
</context>
<context>
    <name>vxBookletPage</name>
    <message>
        <source>Previous</source>
        <translation>Zurück</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>Weiter</translation>
    </message>
    <message>
        <source>View of this step</source>
        <translation>Ansicht dieses Schritts</translation>
    </message>
    <message>
        <source>Step %1 of %2</source>
        <translation>Schritt %1 von %2</translation>
    </message>
    <message>
        <source>Parts for step %1</source>
        <translation>Teile für Schritt %1</translation>
    </message>
    <message>
        <source>Step</source>
        <translation>Schritt</translation>
    </message>
    <message>
        <source>Loading the model…</source>
        <translation>Das Modell wird geladen …</translation>
    </message>
    <message>
        <source>This browser cannot show the model in 3D (WebGL is not available).</source>
        <translation>Dieser Browser kann das Modell nicht in 3D zeigen (WebGL ist nicht verfügbar).</translation>
    </message>
    <message>
        <source>The model cannot be shown.</source>
        <translation>Das Modell kann nicht gezeigt werden.</translation>
    </message>
    <message>
        <source>Turn the model by %1°</source>
        <translation>Das Modell um %1° drehen</translation>
    </message>
    <message>
        <source>Turn the model over</source>
        <translation>Das Modell umdrehen</translation>
    </message>
</context>
<context>
    <name>vxPartsDock</name>
    <message>
        <source>Parts</source>
        <translation>Bauteile</translation>
    </message>
    <message>
        <source>This phase</source>
        <translation>Diese Bauphase</translation>
    </message>
    <message>
        <source>Whole model</source>
        <translation>Ganzes Modell</translation>
    </message>
    <message>
        <source>not in the catalogue</source>
        <translation>nicht im Katalog</translation>
    </message>
    <message>
        <source>%1 of %2 in the model</source>
        <translation>%1 in %2 im Modell</translation>
    </message>
    <message>
        <source>Phase %1 adds %2 of %3</source>
        <translation>Bauphase %1 fügt %2 in %3 hinzu</translation>
    </message>
</context>
<context>
    <name>vxInstructionsController</name>
    <message>
        <source>HTML pages (*.html)</source>
        <translation>HTML-Seiten (*.html)</translation>
    </message>
    <message>
        <source>&amp;Highlight new parts</source>
        <translation>Neue Bauteile &amp;hervorheben</translation>
    </message>
    <message>
        <source>Fade the parts of earlier phases so that the parts the phase adds stand out</source>
        <translation>Bauteile früherer Bauphasen verblassen lassen, damit die neuen Bauteile der Bauphase hervortreten</translation>
    </message>
    <message>
        <source>Export &amp;building instructions…</source>
        <translation>Bau&amp;anleitung exportieren …</translation>
    </message>
    <message>
        <source>Print b&amp;uilding instructions…</source>
        <translation>Bauanleitung dr&amp;ucken …</translation>
    </message>
    <message>
        <source>P&amp;arts</source>
        <translation>Bau&amp;teile</translation>
    </message>
    <message>
        <source>The model has no parts: there is nothing to build.</source>
        <translation>Das Modell hat keine Bauteile: Es gibt nichts zu bauen.</translation>
    </message>
    <message>
        <source>No temporary copy of the model could be made.</source>
        <translation>Es konnte keine temporäre Kopie des Modells angelegt werden.</translation>
    </message>
    <message>
        <source>Drawing the building instructions …</source>
        <translation>Die Bauanleitung wird gezeichnet …</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Export building instructions</source>
        <translation>Bauanleitung exportieren</translation>
    </message>
    <message>
        <source>PDF files (*.pdf)</source>
        <translation>PDF-Dateien (*.pdf)</translation>
    </message>
    <message>
        <source>Building instructions written to %1</source>
        <translation>Bauanleitung nach %1 geschrieben</translation>
    </message>
    <message>
        <source>The building instructions could not be written</source>
        <translation>Die Bauanleitung konnte nicht geschrieben werden</translation>
    </message>
    <message>
        <source>Print building instructions</source>
        <translation>Bauanleitung drucken</translation>
    </message>
    <message>
        <source>The building instructions could not be printed</source>
        <translation>Die Bauanleitung konnte nicht gedruckt werden</translation>
    </message>
</context>
<context>
    <name>vxCommandHost</name>
    <message>
        <source>%1 could not be written: %2</source>
        <translation>%1 konnte nicht geschrieben werden: %2</translation>
    </message>
</context>
</TS>
