// Runs the Khronos glTF validator over the files named on the command line,
// in one process: prints one line per file with its counts, then every
// error and warning. Exits with 1 when any file has an error or a warning.
// usage: node validate_gltf.js VALIDATOR_MODULE_DIR FILE...
'use strict';
const fs = require('fs');
const path = require('path');
const validator = require(path.resolve(process.argv[2]));

async function main() {
    let failed = false;
    for (const file of process.argv.slice(3)) {
        const report = await validator.validateBytes(new Uint8Array(fs.readFileSync(file)), {
            uri: path.basename(file), maxIssues: 0, writeTimestamp: false,
        });
        const i = report.issues;
        console.log(`${file}: ${i.numErrors} errors, ${i.numWarnings} warnings, ${i.numInfos} infos, ` +
                    `${i.numHints} hints`);
        for (const m of i.messages)
            if (m.severity <= 1 || process.env.VALIDATE_ALL)
                console.log(`  ${['error', 'warning', 'info', 'hint'][m.severity]} ${m.code} ${m.pointer || ''}: ${m.message}`);
        failed = failed || i.numErrors > 0 || i.numWarnings > 0;
    }
    process.exit(failed ? 1 : 0);
}
main().catch((e) => { console.error(String(e)); process.exit(2); });
