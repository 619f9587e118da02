// Runs the Khronos glTF-Validator on one .glb or .gltf file (with the files it names beside it):
//   node validate.js FILE
// Prints one line of JSON: the numbers of errors, warnings, infos and hints, and every message
// with its code, severity (0 error, 1 warning, 2 info, 3 hint), text and JSON pointer. The exit
// status is 0 when the file was validated (whatever was found) and 1 when it could not be.
'use strict';
const fs = require('fs');
const path = require('path');
const validator = require('gltf-validator');

const file = process.argv[2];
if (!file) {
    console.error('usage: node validate.js FILE');
    process.exit(1);
}
const folder = path.dirname(file);

validator
    .validateBytes(new Uint8Array(fs.readFileSync(file)), {
        uri: path.basename(file),
        maxIssues: 0, // every issue
        externalResourceFunction: (uri) =>
            new Promise((resolve, reject) => {
                fs.readFile(path.join(folder, decodeURIComponent(uri)), (error, data) => {
                    if (error) reject(error.toString());
                    else resolve(new Uint8Array(data));
                });
            }),
    })
    .then((report) => {
        const issues = report.issues;
        console.log(JSON.stringify({
            errors: issues.numErrors,
            warnings: issues.numWarnings,
            infos: issues.numInfos,
            hints: issues.numHints,
            messages: issues.messages.map((m) => ({
                code: m.code,
                severity: m.severity,
                message: m.message,
                pointer: m.pointer || '',
            })),
        }));
    })
    .catch((error) => {
        console.error(`${file}: ${error}`);
        process.exit(1);
    });
