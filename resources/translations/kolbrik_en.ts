<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_GB">
<context>
    <name>Localizable</name>
    <message>
        <source>CAPTION</source>
        <translation>%1 – Kolbrik Viewer</translation>
    </message>
    <message>
        <source>SHEETWAITOPENMODEL</source>
        <translation>Opening the model…</translation>
    </message>
    <message>
        <source>ORIGINAL</source>
        <translation>Original model: %1</translation>
    </message>
    <message>
        <source>ERSTELLTVON</source>
        <translation>Built by: %1</translation>
    </message>
    <message>
        <source>SHEETWAITEXPORTVRML</source>
        <translation>Exporting the scene as VRML…</translation>
    </message>
    <message>
        <source>VRMLTITLE</source>
        <translation>VRML export</translation>
    </message>
    <message>
        <source>VRMLFINISH</source>
        <translation>The scene has been written as a VRML file.</translation>
    </message>
</context>
<context>
    <name>MainWindowController</name>
    <message>
        <source>&amp;File</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>&amp;Phase</source>
        <translation>&amp;Phase</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>Tools</source>
        <translation>Tools</translation>
    </message>
    <message>
        <source>&amp;Open…</source>
        <translation>&amp;Open…</translation>
    </message>
    <message>
        <source>&amp;Library…</source>
        <translation>&amp;Library…</translation>
    </message>
    <message>
        <source>&amp;Export as VRML…</source>
        <translation>&amp;Export as VRML…</translation>
    </message>
    <message>
        <source>&amp;Print…</source>
        <translation>&amp;Print…</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Quit</translation>
    </message>
    <message>
        <source>&amp;Grid</source>
        <translation>&amp;Grid</translation>
    </message>
    <message>
        <source>&amp;Deselect all</source>
        <translation>&amp;Deselect all</translation>
    </message>
    <message>
        <source>&amp;Centre on selected part</source>
        <translation>&amp;Centre on selected part</translation>
    </message>
    <message>
        <source>&amp;Part information</source>
        <translation>&amp;Part information</translation>
    </message>
    <message>
        <source>&amp;Refresh</source>
        <translation>&amp;Refresh</translation>
    </message>
    <message>
        <source>&amp;Settings…</source>
        <translation>&amp;Settings…</translation>
    </message>
    <message>
        <source>&amp;Choose phase…</source>
        <translation>&amp;Choose phase…</translation>
    </message>
    <message>
        <source>&amp;About Kolbrik Viewer</source>
        <translation>&amp;About Kolbrik Viewer</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Version %1</translation>
    </message>
    <message>
        <source>Select</source>
        <translation>Select</translation>
    </message>
    <message>
        <source>Navigate</source>
        <translation>Navigate</translation>
    </message>
    <message>
        <source>Hide</source>
        <translation>Hide</translation>
    </message>
    <message>
        <source>A click selects the part under the pointer</source>
        <translation>A click selects the part under the pointer</translation>
    </message>
    <message>
        <source>Drag to orbit; double-click a part to look at it</source>
        <translation>Drag to orbit; double-click a part to look at it</translation>
    </message>
    <message>
        <source>A click hides the part under the pointer</source>
        <translation>A click hides the part under the pointer</translation>
    </message>
    <message>
        <source>Previous building phase</source>
        <translation>Previous building phase</translation>
    </message>
    <message>
        <source>Building phase shown</source>
        <translation>Building phase shown</translation>
    </message>
    <message>
        <source>Next building phase</source>
        <translation>Next building phase</translation>
    </message>
    <message>
        <source>Grid</source>
        <translation>Grid</translation>
    </message>
    <message>
        <source>The model could not be opened</source>
        <translation>The model could not be opened</translation>
    </message>
    <message>
        <source>Open model</source>
        <translation>Open model</translation>
    </message>
    <message>
        <source>Kolbrik models (*.kmf)</source>
        <translation>Kolbrik models (*.kmf)</translation>
    </message>
    <message>
        <source>Print model</source>
        <translation>Print model</translation>
    </message>
    <message>
        <source>Export as VRML</source>
        <translation>Export as VRML</translation>
    </message>
    <message>
        <source>VRML files (*.wrl)</source>
        <translation>VRML files (*.wrl)</translation>
    </message>
    <message>
        <source>The model is not written over</source>
        <translation>The model is not written over</translation>
    </message>
    <message>
        <source>%1 is the model being shown; choose another file name.</source>
        <translation>%1 is the model being shown; choose another file name.</translation>
    </message>
    <message>
        <source>Nothing to export</source>
        <translation>Nothing to export</translation>
    </message>
    <message>
        <source>Open a model first; there is nothing to export yet.</source>
        <translation>Open a model first; there is nothing to export yet.</translation>
    </message>
    <message>
        <source>The export failed</source>
        <translation>The export failed</translation>
    </message>
    <message>
        <source>No models to show. The library folder %1 is missing or holds no kit folders.</source>
        <translation>No models to show. The library folder %1 is missing or holds no kit folders.</translation>
    </message>
    <message numerus="yes">
        <source>%n part(s)</source>
        <translation>
            <numerusform>%n part</numerusform>
            <numerusform>%n parts</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n phase(s)</source>
        <translation>
            <numerusform>%n phase</numerusform>
            <numerusform>%n phases</numerusform>
        </translation>
    </message>
    <message>
        <source>Open &amp;Recent</source>
        <translation>Open &amp;Recent</translation>
    </message>
    <message>
        <source>Only model files (.kmf) can be opened here.</source>
        <translation>Only model files (.kmf) can be opened here.</translation>
    </message>
    <message>
        <source>%1 is not a model file; only model files (.kmf) can be opened.</source>
        <translation>%1 is not a model file; only model files (.kmf) can be opened.</translation>
    </message>
    <message>
        <source>%1 no longer exists; it was removed from the recent models.</source>
        <translation>%1 no longer exists; it was removed from the recent models.</translation>
    </message>
    <message numerus="yes">
        <source>%n recent model(s) no longer exist and were removed from the list.</source>
        <translation>
            <numerusform>%n recent model no longer exists and was removed from the list.</numerusform>
            <numerusform>%n recent models no longer exist and were removed from the list.</numerusform>
        </translation>
    </message>
    <message>
        <source>Printing failed</source>
        <translation>Printing failed</translation>
    </message>
    <message>
        <source>Phase %1</source>
        <translation>Phase %1</translation>
    </message>
</context>
<context>
    <name>vxMessageBar</name>
    <message>
        <source>Details…</source>
        <translation>Details…</translation>
    </message>
    <message>
        <source>Close this message</source>
        <translation>Close this message</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>The file is empty.</source>
        <translation>The file is empty.</translation>
    </message>
    <message>
        <source>The file does not hold text; it is not a model file.</source>
        <translation>The file does not hold text; it is not a model file.</translation>
    </message>
    <message>
        <source>The file&apos;s lines end in %1 alone instead of CR LF, so nothing could be read.</source>
        <translation>The file&apos;s lines end in %1 alone instead of CR LF, so nothing could be read.</translation>
    </message>
    <message>
        <source>The file holds no model sections ([CAMERA], [COMMON], [PART…]); it is not a model file.</source>
        <translation>The file holds no model sections ([CAMERA], [COMMON], [PART…]); it is not a model file.</translation>
    </message>
    <message numerus="yes">
        <source>%n part(s) have no [PART] section with a name; the file may be cut short</source>
        <translation>
            <numerusform>%n part has no [PART] section with a name; the file may be cut short</numerusform>
            <numerusform>%n parts have no [PART] section with a name; the file may be cut short</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 is not in the part catalogue (%2×)</source>
        <translation>%1 is not in the part catalogue (%2×)</translation>
    </message>
    <message>
        <source>The shape of %1 is missing or unreadable (%2×)</source>
        <translation>The shape of %1 is missing or unreadable (%2×)</translation>
    </message>
    <message>
        <source>The shape of %1 holds no triangle (%2×)</source>
        <translation>The shape of %1 holds no triangle (%2×)</translation>
    </message>
    <message>
        <source>Line %1: %2=%3 is not a number; read as %4</source>
        <translation>Line %1: %2=%3 is not a number; read as %4</translation>
    </message>
    <message>
        <source>Line %1: %2=%3 in %4 is not a number; read as %5</source>
        <translation>Line %1: %2=%3 in %4 is not a number; read as %5</translation>
    </message>
    <message numerus="yes">
        <source>%1… (%n character(s))</source>
        <translation>
            <numerusform>%1… (%n character)</numerusform>
            <numerusform>%1… (%n characters)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n more value(s) are not numbers</source>
        <translation>
            <numerusform>%n more value is not a number</numerusform>
            <numerusform>%n more values are not numbers</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 and %n more tube(s) have fewer than two nodes and are not drawn</source>
        <translation>
            <numerusform>%1 and %n more tube have fewer than two nodes and are not drawn</numerusform>
            <numerusform>%1 and %n more tubes have fewer than two nodes and are not drawn</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 has fewer than two nodes and is not drawn</source>
        <translation>%1 has fewer than two nodes and is not drawn</translation>
    </message>
    <message numerus="yes">
        <source>%1 and %n more tube(s) have a node that is not a finite number and are not drawn</source>
        <translation>
            <numerusform>%1 and %n more tube have a node that is not a finite number and are not drawn</numerusform>
            <numerusform>%1 and %n more tubes have a node that is not a finite number and are not drawn</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 has a node that is not a finite number and is not drawn</source>
        <translation>%1 has a node that is not a finite number and is not drawn</translation>
    </message>
    <message numerus="yes">
        <source>%1 and %n more tube(s) have no radius above 0 and are not drawn</source>
        <translation>
            <numerusform>%1 and %n more tube have no radius above 0 and are not drawn</numerusform>
            <numerusform>%1 and %n more tubes have no radius above 0 and are not drawn</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 has no radius above 0 and is not drawn</source>
        <translation>%1 has no radius above 0 and is not drawn</translation>
    </message>
    <message numerus="yes">
        <source>%n part(s) could not be shown: %1</source>
        <translation>
            <numerusform>%n part could not be shown: %1</numerusform>
            <numerusform>%n parts could not be shown: %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n value(s) could not be read as numbers: %1</source>
        <translation>
            <numerusform>%n value could not be read as a number: %1</numerusform>
            <numerusform>%n values could not be read as numbers: %1</numerusform>
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
        <translation>%1 of %2 parts shown</translation>
    </message>
    <message>
        <source>Phase %1 of %2</source>
        <translation>Phase %1 of %2</translation>
    </message>
    <message>
        <source>Phase %1 of %2 (step control at %3)</source>
        <translation>Phase %1 of %2 (step control at %3)</translation>
    </message>
</context>
<context>
    <name>vxPartPanelController</name>
    <message>
        <source>Part information</source>
        <translation>Part information</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>Article no.:</source>
        <translation>Article no.:</translation>
    </message>
</context>
<context>
    <name>vxRecentFiles</name>
    <message>
        <source>No recent models</source>
        <translation>No recent models</translation>
    </message>
    <message>
        <source>Clear list</source>
        <translation>Clear list</translation>
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
        <translation>About Kolbrik Viewer</translation>
    </message>
    <message>
        <source>Look at models built from the Kolbrik construction kit: orbit, zoom, follow the building phases, identify parts and export the geometry as glTF, STL, OBJ or VRML.</source>
        <translation>Look at models built from the Kolbrik construction kit: orbit, zoom, follow the building phases, identify parts and export the geometry as glTF, STL, OBJ or VRML.</translation>
    </message>
</context>
<context>
    <name>vxSheetBuildingPhase</name>
    <message>
        <source>Choose building phase</source>
        <translation>Choose building phase</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>vxSheetLibrary</name>
    <message>
        <source>Model library</source>
        <translation>Model library</translation>
    </message>
    <message>
        <source>Kits</source>
        <translation>Kits</translation>
    </message>
    <message>
        <source>Models (click one to open it)</source>
        <translation>Models (click one to open it)</translation>
    </message>
    <message>
        <source>Filter by name</source>
        <translation>Filter by name</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>vxSheetParameter</name>
    <message>
        <source>Settings</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Paint parts of earlier building phases white</source>
        <translation>Paint parts of earlier building phases white</translation>
    </message>
    <message>
        <source>Navigation</source>
        <translation>Navigation</translation>
    </message>
    <message>
        <source>Turning the wheel away from you zooms out</source>
        <translation>Turning the wheel away from you zooms out</translation>
    </message>
    <message>
        <source>The wheel zooms towards the pointer</source>
        <translation>The wheel zooms towards the pointer</translation>
    </message>
    <message>
        <source>Glide to fitted, reset and standard views</source>
        <translation>Glide to fitted, reset and standard views</translation>
    </message>
</context>
<context>
    <name>vxSheetWait</name>
    <message>
        <source>Please wait</source>
        <translation>Please wait</translation>
    </message>
</context>
<context>
    <name>vxStartPage</name>
    <message>
        <source>Open a model to look at it from all sides, follow how it is built phase by phase and find out about every part.</source>
        <translation>Open a model to look at it from all sides, follow how it is built phase by phase and find out about every part.</translation>
    </message>
    <message>
        <source>Open a model…</source>
        <translation>Open a model…</translation>
    </message>
    <message>
        <source>Browse the library…</source>
        <translation>Browse the library…</translation>
    </message>
    <message>
        <source>Recent models</source>
        <translation>Recent models</translation>
    </message>
    <message>
        <source>No models opened yet.</source>
        <translation>No models opened yet.</translation>
    </message>
    <message>
        <source>You can also drop a model file (.kmf) onto this window.</source>
        <translation>You can also drop a model file (.kmf) onto this window.</translation>
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
        <translation>&amp;Classic</translation>
    </message>
    <message>
        <source>Flat facets without outlines</source>
        <translation>Flat facets without outlines</translation>
    </message>
    <message>
        <source>&amp;Outlined</source>
        <translation>&amp;Outlined</translation>
    </message>
    <message>
        <source>Smooth curves, dark edge lines, smoothed edges</source>
        <translation>Smooth curves, dark edge lines, smoothed edges</translation>
    </message>
    <message>
        <source>Outlined</source>
        <translation>Outlined</translation>
    </message>
    <message>
        <source>Draw the parts with outlines and smooth curves</source>
        <translation>Draw the parts with outlines and smooth curves</translation>
    </message>
    <message>
        <source>Drawing st&amp;yle</source>
        <translation>Drawing st&amp;yle</translation>
    </message>
</context>
<context>
    <name>vxViewCommands</name>
    <message>
        <source>&amp;Fit model</source>
        <translation>&amp;Fit model</translation>
    </message>
    <message>
        <source>Fit s&amp;election</source>
        <translation>Fit s&amp;election</translation>
    </message>
    <message>
        <source>Reset &amp;view</source>
        <translation>Reset &amp;view</translation>
    </message>
    <message>
        <source>S&amp;tandard views</source>
        <translation>S&amp;tandard views</translation>
    </message>
    <message>
        <source>&amp;Front</source>
        <translation>&amp;Front</translation>
    </message>
    <message>
        <source>&amp;Back</source>
        <translation>&amp;Back</translation>
    </message>
    <message>
        <source>&amp;Left</source>
        <comment>standard view</comment>
        <translation>&amp;Left</translation>
    </message>
    <message>
        <source>&amp;Right</source>
        <comment>standard view</comment>
        <translation>&amp;Right</translation>
    </message>
    <message>
        <source>&amp;Top</source>
        <translation>&amp;Top</translation>
    </message>
    <message>
        <source>B&amp;ottom</source>
        <translation>B&amp;ottom</translation>
    </message>
    <message>
        <source>Three-&amp;quarter view</source>
        <translation>Three-&amp;quarter view</translation>
    </message>
    <message>
        <source>&amp;Orthographic</source>
        <translation>&amp;Orthographic</translation>
    </message>
    <message>
        <source>Show &amp;cables and tubes</source>
        <translation>Show &amp;cables and tubes</translation>
    </message>
    <message>
        <source>Zoom &amp;in</source>
        <translation>Zoom &amp;in</translation>
    </message>
    <message>
        <source>Zoom o&amp;ut</source>
        <translation>Zoom o&amp;ut</translation>
    </message>
    <message>
        <source>Tur&amp;n</source>
        <translation>Tur&amp;n</translation>
    </message>
    <message>
        <source>&amp;Left</source>
        <comment>turn</comment>
        <translation>&amp;Left</translation>
    </message>
    <message>
        <source>&amp;Right</source>
        <comment>turn</comment>
        <translation>&amp;Right</translation>
    </message>
    <message>
        <source>&amp;Up</source>
        <translation>&amp;Up</translation>
    </message>
    <message>
        <source>&amp;Down</source>
        <translation>&amp;Down</translation>
    </message>
    <message>
        <source>&amp;Work mode</source>
        <translation>&amp;Work mode</translation>
    </message>
    <message>
        <source>&amp;Select</source>
        <translation>&amp;Select</translation>
    </message>
    <message>
        <source>&amp;Navigate</source>
        <translation>&amp;Navigate</translation>
    </message>
    <message>
        <source>&amp;Hide</source>
        <translation>&amp;Hide</translation>
    </message>
    <message>
        <source>&amp;Previous phase</source>
        <translation>&amp;Previous phase</translation>
    </message>
    <message>
        <source>&amp;Next phase</source>
        <translation>&amp;Next phase</translation>
    </message>
    <message>
        <source>Sa&amp;ve picture…</source>
        <translation>Sa&amp;ve picture…</translation>
    </message>
    <message>
        <source>&amp;Copy picture</source>
        <translation>&amp;Copy picture</translation>
    </message>
    <message>
        <source>&amp;Keyboard shortcuts</source>
        <translation>&amp;Keyboard shortcuts</translation>
    </message>
    <message>
        <source>No part is shown, so there is nothing to fit.</source>
        <translation>No part is shown, so there is nothing to fit.</translation>
    </message>
    <message>
        <source>No part is selected: select one in the Select work mode first.</source>
        <translation>No part is selected: select one in the Select work mode first.</translation>
    </message>
    <message>
        <source>The picture could not be encoded as PNG.</source>
        <translation>The picture could not be encoded as PNG.</translation>
    </message>
    <message>
        <source>Save picture</source>
        <translation>Save picture</translation>
    </message>
    <message>
        <source> pixels</source>
        <translation> pixels</translation>
    </message>
    <message>
        <source>Width:</source>
        <translation>Width:</translation>
    </message>
    <message>
        <source>Height:</source>
        <translation>Height:</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>PNG pictures (*.png)</source>
        <translation>PNG pictures (*.png)</translation>
    </message>
    <message>
        <source>The picture was saved as %1.</source>
        <translation>The picture was saved as %1.</translation>
    </message>
    <message>
        <source>The picture was not saved</source>
        <translation>The picture was not saved</translation>
    </message>
    <message>
        <source>The picture of the view is on the clipboard.</source>
        <translation>The picture of the view is on the clipboard.</translation>
    </message>
    <message>
        <source>The picture could not be copied: %1</source>
        <translation>The picture could not be copied: %1</translation>
    </message>
    <message>
        <source>Phase %1 of %2</source>
        <translation>Phase %1 of %2</translation>
    </message>
    <message>
        <source>The printer could not be started.</source>
        <translation>The printer could not be started.</translation>
    </message>
    <message>
        <source>Keyboard shortcuts</source>
        <translation>Keyboard shortcuts</translation>
    </message>
    <message>
        <source>Command</source>
        <translation>Command</translation>
    </message>
    <message>
        <source>Keys</source>
        <translation>Keys</translation>
    </message>
    <message>
        <source> or </source>
        <translation> or </translation>
    </message>
    <message>
        <source>Mouse</source>
        <translation>Mouse</translation>
    </message>
    <message>
        <source>Turn around the target (Navigate)</source>
        <translation>Turn around the target (Navigate)</translation>
    </message>
    <message>
        <source>Drag</source>
        <translation>Drag</translation>
    </message>
    <message>
        <source>Move the view (pan)</source>
        <translation>Move the view (pan)</translation>
    </message>
    <message>
        <source>Middle-drag, or Shift+drag in Navigate</source>
        <translation>Middle-drag, or Shift+drag in Navigate</translation>
    </message>
    <message>
        <source>Zoom</source>
        <translation>Zoom</translation>
    </message>
    <message>
        <source>Wheel (away from you zooms in, unless set otherwise)</source>
        <translation>Wheel (away from you zooms in, unless set otherwise)</translation>
    </message>
    <message>
        <source>Look at a part (Navigate)</source>
        <translation>Look at a part (Navigate)</translation>
    </message>
    <message>
        <source>Double-click the part</source>
        <translation>Double-click the part</translation>
    </message>
    <message>
        <source>Select or hide a part (Select, Hide)</source>
        <translation>Select or hide a part (Select, Hide)</translation>
    </message>
    <message>
        <source>Click the part</source>
        <translation>Click the part</translation>
    </message>
</context>
<context>
    <name>vxGLWidget</name>
    <message>
        <source>The picture has no size.</source>
        <translation>The picture has no size.</translation>
    </message>
    <message>
        <source>The view is not shown yet.</source>
        <translation>The view is not shown yet.</translation>
    </message>
    <message>
        <source>The picture may be at most %1 pixels wide and high.</source>
        <translation>The picture may be at most %1 pixels wide and high.</translation>
    </message>
    <message>
        <source>The graphics driver cannot draw a picture of %1 × %2 pixels.</source>
        <translation>The graphics driver cannot draw a picture of %1 × %2 pixels.</translation>
    </message>
</context>
<context>
    <name>vxExportCommand</name>
    <message>
        <source>E&amp;xport…</source>
        <translation>E&amp;xport…</translation>
    </message>
    <message>
        <source>glTF binary (*.glb)</source>
        <translation>glTF binary (*.glb)</translation>
    </message>
    <message>
        <source>glTF text (*.gltf)</source>
        <translation>glTF text (*.gltf)</translation>
    </message>
    <message>
        <source>STL for 3D printing (*.stl)</source>
        <translation>STL for 3D printing (*.stl)</translation>
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
        <translation>Export</translation>
    </message>
    <message>
        <source>Exporting the model…</source>
        <translation>Exporting the model…</translation>
    </message>
    <message>
        <source>The export failed</source>
        <translation>The export failed</translation>
    </message>
    <message>
        <source>Export finished</source>
        <translation>Export finished</translation>
    </message>
    <message>
        <source>The model has been written to %1.</source>
        <translation>The model has been written to %1.</translation>
    </message>
    <message>
        <source>Nothing to export</source>
        <translation>Nothing to export</translation>
    </message>
    <message>
        <source>Open a model first; there is nothing to export yet.</source>
        <translation>Open a model first; there is nothing to export yet.</translation>
    </message>
</context>
<context>
    <name>vxBooklet</name>
    <message>
        <source>The pages cannot be written.</source>
        <translation>The pages cannot be written.</translation>
    </message>
    <message>
        <source>Stopped.</source>
        <translation>Stopped.</translation>
    </message>
    <message>
        <source>Page %1 of %2</source>
        <translation>Page %1 of %2</translation>
    </message>
    <message>
        <source>Original model: %1</source>
        <translation>Original model: %1</translation>
    </message>
    <message>
        <source>Built by: %1</source>
        <translation>Built by: %1</translation>
    </message>
    <message>
        <source>%1 of %2, %3</source>
        <translation>%1 of %2, %3</translation>
    </message>
    <message>
        <source>Parts list</source>
        <translation>Parts list</translation>
    </message>
    <message>
        <source>Every part the model needs</source>
        <translation>Every part the model needs</translation>
    </message>
    <message>
        <source>In total: %1 of %2</source>
        <translation>In total: %1 of %2</translation>
    </message>
    <message>
        <source>not in the catalogue</source>
        <translation>not in the catalogue</translation>
    </message>
    <message>
        <source>en</source>
        <comment>language of the colour names: en or de</comment>
        <translation>en</translation>
    </message>
    <message>
        <source>Cable or rope, %1 mm</source>
        <translation>Cable or rope, %1 mm</translation>
    </message>
    <message>
        <source>%1 mm at true size</source>
        <translation>%1 mm at true size</translation>
    </message>
    <message>
        <source>Turn over</source>
        <translation>Turn over</translation>
    </message>
    <message>
        <source>Turn %1°</source>
        <translation>Turn %1°</translation>
    </message>
    <message>
        <source>%1 mm thick</source>
        <translation>%1 mm thick</translation>
    </message>
    <message>
        <source>1 part</source>
        <translation>1 part</translation>
    </message>
    <message>
        <source>%1 parts</source>
        <translation>%1 parts</translation>
    </message>
    <message>
        <source>1 kind</source>
        <translation>1 kind</translation>
    </message>
    <message>
        <source>%1 kinds</source>
        <translation>%1 kinds</translation>
    </message>
    <message>
        <source>1 step</source>
        <translation>1 step</translation>
    </message>
    <message>
        <source>%1 steps</source>
        <translation>%1 steps</translation>
    </message>
</context>
<context>
    <name>vxBookletPage</name>
    <message>
        <source>Previous</source>
        <translation>Previous</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>View of this step</source>
        <translation>View of this step</translation>
    </message>
    <message>
        <source>Step %1 of %2</source>
        <translation>Step %1 of %2</translation>
    </message>
    <message>
        <source>Parts for step %1</source>
        <translation>Parts for step %1</translation>
    </message>
    <message>
        <source>Step</source>
        <translation>Step</translation>
    </message>
    <message>
        <source>Loading the model…</source>
        <translation>Loading the model…</translation>
    </message>
    <message>
        <source>This browser cannot show the model in 3D (WebGL is not available).</source>
        <translation>This browser cannot show the model in 3D (WebGL is not available).</translation>
    </message>
    <message>
        <source>The model cannot be shown.</source>
        <translation>The model cannot be shown.</translation>
    </message>
    <message>
        <source>Turn the model by %1°</source>
        <translation>Turn the model by %1°</translation>
    </message>
    <message>
        <source>Turn the model over</source>
        <translation>Turn the model over</translation>
    </message>
</context>
<context>
    <name>vxPartsDock</name>
    <message>
        <source>Parts</source>
        <translation>Parts</translation>
    </message>
    <message>
        <source>This phase</source>
        <translation>This phase</translation>
    </message>
    <message>
        <source>Whole model</source>
        <translation>Whole model</translation>
    </message>
    <message>
        <source>not in the catalogue</source>
        <translation>not in the catalogue</translation>
    </message>
    <message>
        <source>%1 of %2 in the model</source>
        <translation>%1 of %2 in the model</translation>
    </message>
    <message>
        <source>Phase %1 adds %2 of %3</source>
        <translation>Phase %1 adds %2 of %3</translation>
    </message>
</context>
<context>
    <name>vxInstructionsController</name>
    <message>
        <source>HTML pages (*.html)</source>
        <translation>HTML pages (*.html)</translation>
    </message>
    <message>
        <source>&amp;Highlight new parts</source>
        <translation>&amp;Highlight new parts</translation>
    </message>
    <message>
        <source>Fade the parts of earlier phases so that the parts the phase adds stand out</source>
        <translation>Fade the parts of earlier phases so that the parts the phase adds stand out</translation>
    </message>
    <message>
        <source>Export &amp;building instructions…</source>
        <translation>Export &amp;building instructions…</translation>
    </message>
    <message>
        <source>Print b&amp;uilding instructions…</source>
        <translation>Print b&amp;uilding instructions…</translation>
    </message>
    <message>
        <source>P&amp;arts</source>
        <translation>P&amp;arts</translation>
    </message>
    <message>
        <source>The model has no parts: there is nothing to build.</source>
        <translation>The model has no parts: there is nothing to build.</translation>
    </message>
    <message>
        <source>No temporary copy of the model could be made.</source>
        <translation>No temporary copy of the model could be made.</translation>
    </message>
    <message>
        <source>Drawing the building instructions …</source>
        <translation>Drawing the building instructions …</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Export building instructions</source>
        <translation>Export building instructions</translation>
    </message>
    <message>
        <source>PDF files (*.pdf)</source>
        <translation>PDF files (*.pdf)</translation>
    </message>
    <message>
        <source>Building instructions written to %1</source>
        <translation>Building instructions written to %1</translation>
    </message>
    <message>
        <source>The building instructions could not be written</source>
        <translation>The building instructions could not be written</translation>
    </message>
    <message>
        <source>Print building instructions</source>
        <translation>Print building instructions</translation>
    </message>
    <message>
        <source>The building instructions could not be printed</source>
        <translation>The building instructions could not be printed</translation>
    </message>
</context>
<context>
    <name>vxCommandHost</name>
    <message>
        <source>%1 could not be written: %2</source>
        <translation>%1 could not be written: %2</translation>
    </message>
</context>
</TS>
