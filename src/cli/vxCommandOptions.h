#pragma once

#include "vxOptions.h"

// The options of every kolbrik command. A new option is one line here (and
// its reading in the command): --help, the bash completion and the manual
// follow from it. Sizes name kMaxPictureSize (vxCli.h), 16384.
namespace vxCli {

// "--resources DIR", which every command takes (the manual describes it
// once for all); what a command reads from there differs.
constexpr Option resourcesOption(std::string_view help)
{
    return {.name = "--resources",
            .value = "DIR",
            .needs = "a folder",
            .help = help,
            .completion = ValueCompletion::kFolder};
}

inline constexpr Option kInfoOptionList[] = {
    {.name = "--json",
     .help = "print one JSON object instead of text",
     .manual = "Print one JSON object instead of text: the information texts, the camera, the counts, "
               "every part with its definition, every tube and, as the last key, the list *warnings* of "
               "what the file left out."},
    resourcesOption("read part definitions from DIR instead of the\n"
                    "installed resource folder"),
};
inline constexpr CommandOptions kInfoOptions = {
    .name = "info",
    .summary = "print what a model file holds (text or --json)",
    .about = "usage: kolbrik info MODEL.kmf [--json] [--resources DIR]\n"
             "\n"
             "Reads a model file and prints its camera, information texts, parts and\n"
             "tubes, with what each part's definition says.\n",
    .arguments = "kmf",
    .options = kInfoOptionList};

inline constexpr Option kPartsOptionList[] = {
    {.name = "--phase",
     .value = "N",
     .needs = "a whole number",
     .help = "only the parts that phase N adds (1 to the model's last)",
     .manual = "Only the parts that phase _N_ adds, from 1 to the model's last phase (another number is "
               "a usage error)."},
    {.name = "--json",
     .help = "print one JSON object instead of a table",
     .manual = "Print one JSON object instead of the table: the file name, the phase (or null), the "
               "total and the list of parts, each with its count, number, name, short name, group, "
               "colour as #rrggbb and whether its definition was found."},
    resourcesOption("read part definitions from DIR instead of the\n"
                    "installed resource folder"),
};
inline constexpr CommandOptions kPartsOptions = {
    .name = "parts",
    .summary = "list the parts of a model or of one phase (text or --json)",
    .about = "usage: kolbrik parts MODEL.kmf [--phase N] [--json] [--resources DIR]\n"
             "\n"
             "Lists the parts a builder needs: every part type in every colour with its\n"
             "count, article number and name, sorted by group, number and colour.\n"
             "Parts of phase 0 and below count with phase 1.\n",
    .arguments = "kmf",
    .options = kPartsOptionList};

inline constexpr Option kRenderOptionList[] = {
    {.name = "--size",
     .value = "WxH",
     .needs = "WIDTHxHEIGHT, each 1 to 16384",
     .help = "picture size in pixels (default 1024x768)",
     .manual = "The picture's width and height in pixels, each from 1 to 16384 (default 1024x768)."},
    {.name = "--grid", .help = "show the ground grid", .manual = "Show the ground grid."},
    {.name = "--phase",
     .value = "N",
     .needs = "a whole number",
     .help = "show the model at the end of building phase N: later\n"
             "parts hidden, the parts of phase N in their colours",
     .manual = "Show the model at the end of building phase _N_: parts of later phases are hidden, the "
               "parts of phase _N_ show in their colours."},
    {.name = "--paint-old-white",
     .help = "with --phase, draw the parts of earlier phases white",
     .manual = "With *--phase*, draw the parts of earlier phases white."},
    {.name = "--view",
     .value = "NAME",
     .needs = "one of front, back, left, right, top, bottom, iso",
     .help = "a standard view, fitted to the visible parts: front\n"
             "(seen from -z), back, left (from +x), right (from -x),\n"
             "top, bottom or iso (from front, right and above)",
     .manual = "A standard view, fitted to the visible parts: *front* (seen from -z), *back*, *left* "
               "(from +x), *right* (from -x), *top*, *bottom* or *iso* (from the front, the right and "
               "above).",
     .completion = ValueCompletion::kWords,
     .words = "front back left right top bottom iso"},
    {.name = "--camera",
     .value = "EX,EY,EZ,TX,TY,TZ",
     .needs = "EX,EY,EZ,TX,TY,TZ: six numbers, the eye apart from the target",
     .help = "the eye at (EX, EY, EZ) looking at (TX, TY, TZ)",
     .manual = "Put the eye at (_EX_, _EY_, _EZ_) looking at (_TX_, _TY_, _TZ_). Not together with "
               "*--view*."},
    {.name = "--fit",
     .help = "keep the viewing direction and fit the visible parts\n"
             "into the picture",
     .manual = "Keep the viewing direction and move the camera so that the visible parts fill the "
               "picture."},
    {.name = "--orthographic",
     .help = "draw without perspective, the target's plane as large\n"
             "as in the perspective picture",
     .manual = "Draw without perspective; the plane through the camera's target shows as large as in the "
               "perspective picture."},
    {.name = "--highlight",
     .help = "fade the parts of earlier phases toward the background,\n"
             "so that the parts the shown phase adds stand out (with\n"
             "--booklet: grey them and outline the new parts)",
     .manual = "Fade the parts of earlier phases toward the background, so that the parts the shown "
               "phase adds stand out. With *--booklet*, grey them instead and outline the new parts, as "
               "the building instructions do."},
    {.name = "--style",
     .value = "STYLE",
     .needs = "classic or outlined",
     .help = "classic (flat facets, as by default) or outlined (smooth\n"
             "curves, dark edge lines, anti-aliased)",
     .manual = "*classic* (flat facets without outlines, the default) or *outlined* (smooth curves, dark "
               "silhouette and crease lines, anti-aliased).",
     .completion = ValueCompletion::kWords,
     .words = "classic outlined"},
    {.name = "--moving",
     .help = "draw the frame the window draws while the camera moves:\n"
             "simplified meshes, parts under a pixel or two left out",
     .manual = "Draw the frame the viewer's window draws while the camera moves: every part with a "
               "simplified mesh, parts smaller than a pixel or two left out."},
    {.name = "--tubes",
     .help = "draw the cables, hoses and ropes as round tubes along\n"
             "their paths",
     .manual = "Draw the cables, hoses and ropes of the model as round tubes along their paths (the "
               "window's View > Show cables and tubes)."},
    {.name = "--booklet",
     .help = "draw as the building instructions' pictures are drawn:\n"
             "outlined, with tubes, on white paper, drawn larger and\n"
             "scaled down (--steps-json of instructions gives each\n"
             "picture's options); by default the whole finished model",
     .manual = "Draw as the pictures of the building instructions are drawn: outlined, with the tubes, on "
               "white paper, drawn larger and scaled down. The *--steps-json* file of *instructions* "
               "lists, for every picture, the options that draw it again pixel for pixel. Without "
               "*--camera*, the whole model at the end of the phase, seen as on the cover."},
    {.name = "--drawn",
     .value = "WxH",
     .needs = "WIDTHxHEIGHT, each 1 to 16384",
     .help = "with --booklet, draw at this size before scaling down",
     .manual = "With *--booklet*, draw at this size before scaling down to *--size*."},
    {.name = "--up",
     .value = "X,Y,Z",
     .needs = "X,Y,Z: three numbers, not all 0",
     .help = "with --booklet and --camera, the direction that is up in\n"
             "the picture (default 0,1,0)",
     .manual = "With *--booklet* and *--camera*, the direction that is up in the picture (default 0,1,0)."},
    {.name = "--fov",
     .value = "DEG",
     .needs = "an angle in degrees above 0 and below 180",
     .help = "with --booklet, the field of view from top to bottom",
     .manual = "With *--booklet*, the field of view from the picture's top to its bottom, in degrees."},
    {.name = "--see-through",
     .help = "with --booklet and --highlight, draw the parts of earlier\n"
             "phases see-through",
     .manual = "With *--booklet* and *--highlight*, draw the parts of earlier phases see-through, so that "
               "new parts they hide show."},
    {.name = "--left-out",
     .value = "N,N...",
     .needs = "part numbers (1 for the file's first part) apart by commas",
     .help = "with --booklet, leave parts N out (parts of the phase not\n"
             "fitted yet in the picture)",
     .manual = "With *--booklet*, leave the parts _N_ (1 for the model file's first part) out of the "
               "picture: parts of the shown phase not fitted yet, so that the parts they would cover show."},
    {.name = "--count-parts",
     .value = "N,N...",
     .needs = "part numbers (1 for the file's first part) apart by commas",
     .help = "with --booklet, print for each part N how many pixels of\n"
             "the picture change when it is left out",
     .manual = "With *--booklet*, print for each part _N_ (1 for the model file's first part) how many "
               "pixels of the picture change when the part is left out: how much of it shows."},
    resourcesOption("read part definitions and meshes from DIR instead of\n"
                    "the installed resource folder"),
};
inline constexpr CommandOptions kRenderOptions = {
    .name = "render",
    .summary = "draw a model off-screen and save it as PNG",
    .about = "usage: kolbrik render MODEL.kmf OUT.png [--size WxH] [--grid] [--phase N [--paint-old-white]]\n"
             "                      [--view NAME | --camera EX,EY,EZ,TX,TY,TZ] [--fit] [--orthographic]\n"
             "                      [--highlight] [--style classic|outlined] [--moving] [--tubes]\n"
             "                      [--booklet [--drawn WxH] [--up X,Y,Z] [--fov DEG] [--see-through]\n"
             "                       [--left-out N,N...] [--count-parts N,N...]] [--resources DIR]\n"
             "\n"
             "Draws a model off-screen as the viewer's window shows it right after\n"
             "opening the file (same camera, light and colours; the grid hidden) and\n"
             "saves the picture as PNG (OUT '-': on standard output). Needs no window\n"
             "system. What the model file leaves out is told on stderr.\n",
    .arguments = "kmf png",
    .options = kRenderOptionList};

inline constexpr Option kRenderPartsOptionList[] = {
    {.name = "--out",
     .value = "DIR",
     .needs = "a folder",
     .help = "where to write the pictures (default: the resource folder)",
     .manual = "Where to write the pictures (default: the resource folder).",
     .completion = ValueCompletion::kFolder},
    {.name = "--size",
     .value = "N",
     .needs = "a number of pixels from 1 to 16384",
     .help = "picture width and height in pixels (default 128)",
     .manual = "The pictures' width and height in pixels, from 1 to 16384 (default 128)."},
    resourcesOption("read definitions and meshes from DIR instead of the\n"
                    "installed resource folder"),
};
inline constexpr CommandOptions kRenderPartsOptions = {
    .name = "render-parts",
    .summary = "draw a picture of every part type",
    .about = "usage: kolbrik render-parts [NAME...] [--out DIR] [--size N] [--resources DIR]\n"
             "\n"
             "Draws one picture per part type, NAME.png, as the part panel shows it:\n"
             "the part's mesh in its definition's colour (near-black lifted to a dark\n"
             "grey), seen from the front, right and above and filling the picture,\n"
             "over the view's background. Without names, every NAME.stl of the\n"
             "resource folder is drawn.\n",
    .arguments = "part",
    .options = kRenderPartsOptionList};

// The formats are those of kExportFormats, in its order (a test compares).
inline constexpr Option kExportOptionList[] = {
    {.name = "--format",
     .value = "F",
     .needs = "one of glb, gltf, stl, obj, wrl",
     .help = "write format F whatever OUT's extension",
     .manual = "Write format _F_ (glb, gltf, stl, obj or wrl) whatever the extension.",
     .completion = ValueCompletion::kWords,
     .words = "glb gltf stl obj wrl"},
    {.name = "--phase",
     .value = "N",
     .needs = "a whole number",
     .help = "the model as it stands at the end of building phase N:\n"
             "parts of later phases are left out",
     .manual = "The model as it stands at the end of building phase _N_: parts of later phases are left "
               "out."},
    {.name = "--up",
     .value = "z|y",
     .needs = "z or y",
     .help = "the STL's up axis: z (default), as 3D printing tools\n"
             "take it, or y, the model's own axes",
     .manual = "The STL's up axis: *z* (the default) turns the model so that its Y becomes Z and its front "
               "faces -Y, as 3D printing tools take it; *y* keeps the model's own axes, Y up. The other "
               "formats are always Y up, as their readers expect.",
     .completion = ValueCompletion::kWords,
     .words = "z y"},
    {.name = "--tubes",
     .help = "the cables, hoses and ropes as well, as the round\n"
             "tubes the viewer draws (glb, gltf, stl, obj)",
     .manual = "Write the cables, hoses and ropes as well, each as the round tube the viewer draws, after "
               "the parts (glb, gltf, stl and obj; without it tubes are left out)."},
    resourcesOption("read part definitions and meshes from DIR instead\n"
                    "of the installed resource folder"),
};
inline constexpr CommandOptions kExportOptions = {
    .name = "export",
    .summary = "write a model as glTF, STL, OBJ or VRML",
    .about = "usage: kolbrik export MODEL.kmf OUT.{wrl,glb,gltf,stl,obj} [--format F] [--phase N]\n"
             "                      [--up z|y] [--tubes] [--resources DIR]\n"
             "\n"
             "Loads a model as the viewer does and writes it for other programs, in\n"
             "the format that OUT's extension names:\n"
             "  wrl   VRML 1.0: one block per part with triangles, placement and colour\n"
             "  glb   glTF 2.0, binary: each part mesh stored once, one node per part,\n"
             "        one material per colour; metres, Y up\n"
             "  gltf  glTF 2.0 as one text file, its buffer embedded\n"
             "  stl   binary STL for 3D printing: every triangle in place, millimetres,\n"
             "        Z up (the model's Y becomes Z; --up y keeps the model's axes)\n"
             "  obj   Wavefront OBJ, one object per part, millimetres; materials in\n"
             "        OUT.mtl beside it\n"
             "An existing file is replaced only once the new one is complete; a pipe\n"
             "or a device is written to directly, and OUT '-' is standard output (give\n"
             "--format). What the model file leaves out is told on stderr.\n",
    .arguments = "kmf glb|gltf|stl|obj|wrl",
    .options = kExportOptionList};

inline constexpr Option kInstructionsOptionList[] = {
    {.name = "--steps-json",
     .value = "FILE",
     .needs = "a file name",
     .help = "with a PDF, also write the booklet's steps as JSON: each\n"
             "step's parts and tubes and, for each picture, the options\n"
             "of kolbrik render that draw it again",
     .manual = "With a PDF, also write the booklet's steps to _FILE_ as JSON: for every step its number, "
               "building phase, the parts (1 for the file's first part) and tubes it adds, and for every "
               "picture its role (main, detail or extra) and the options that, given after *kolbrik "
               "render MODEL OUT.png*, draw it again pixel for pixel."},
    {.name = "--paper",
     .value = "a4|letter",
     .needs = "a4 or letter",
     .help = "paper size, in any case (default a4)",
     .manual = "The paper size, in any case (default a4).",
     .completion = ValueCompletion::kWords,
     .words = "a4 letter"},
    resourcesOption("read part definitions and meshes from DIR instead of\n"
                    "the installed resource folder"),
};
inline constexpr CommandOptions kInstructionsOptions = {
    .name = "instructions",
    .summary = "write a model's building instructions as a PDF booklet or a web page",
    .about = "usage: kolbrik instructions MODEL.kmf OUT.pdf|OUT.html [--paper a4|letter]\n"
             "                            [--steps-json FILE] [--resources DIR]\n"
             "\n"
             "Writes the model's building instructions as a PDF booklet: a cover with\n"
             "the finished model, one step per building phase (the parts to add and\n"
             "the model at the end of the phase, the new parts highlighted) and a\n"
             "parts list of the whole model (OUT '-': on standard output). Needs no\n"
             "window system. What the model file leaves out is told on stderr.\n"
             "\n"
             "OUT.html: the same steps as one web page that needs no other file and\n"
             "no network: the model in 3D (turn, zoom and pan it), a step counter,\n"
             "the parts of each step and the parts list. OUT.html#step=7 opens at\n"
             "step 7.\n",
    .arguments = "kmf pdf|html",
    .options = kInstructionsOptionList};

// Every command, in the order the shell offers them.
inline constexpr const CommandOptions* kCommandOptions[] = {
    &kInfoOptions,        &kPartsOptions,        &kRenderOptions,
    &kRenderPartsOptions, &kInstructionsOptions, &kExportOptions,
};

} // namespace vxCli
