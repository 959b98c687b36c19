// SPDX-License-Identifier: MIT
// Every Diagnostic that Vantel wrote must pass Diagnostic.is, and each of
// its ranges, sliced from its file read as a JavaScript (UTF-16) string,
// must be the text of the bytes the label located. Every URI must be an
// absolute file URI of that file.
'use strict';
const fs = require('fs');
const path = require('path');
const { fileURLToPath } = require('url');
const { Diagnostic } = require('vscode-languageserver-types');

const dir = process.argv[2];
const diagnostics = JSON.parse(fs.readFileSync(path.join(dir, 'samples.lsp.json'), 'utf8'));
const expected = fs.readFileSync(path.join(dir, 'samples.lsp.expect'), 'utf8')
  .split('\n').filter((line) => line !== '').map((line) => line.split('\t'));
const decoder = new TextDecoder();
let failures = 0;

function fail(what) {
  console.error(what);
  failures += 1;
}

// The JavaScript string offset of an LSP position: lines end at '\n'.
function offsetOf(text, position) {
  let at = 0;
  for (let line = 0; line < position.line; line += 1) at = text.indexOf('\n', at) + 1;
  return at + position.character;
}

function check(range, uri, row, what) {
  const [, file, start, end] = row;
  const wanted = path.resolve(dir, file);
  if (!uri.startsWith('file:///') || fileURLToPath(uri) !== wanted)
    fail(`${what}: uri ${uri}, expected the file URI of ${wanted}`);
  const bytes = fs.readFileSync(path.join(dir, file));
  const text = decoder.decode(bytes);
  const got = text.slice(offsetOf(text, range.start), offsetOf(text, range.end));
  const want = decoder.decode(bytes.subarray(Number(start), Number(end)));
  if (got !== want) fail(`${what}: range gives ${JSON.stringify(got)}, the label ${JSON.stringify(want)}`);
}

let row = 0;
diagnostics.forEach((d, k) => {
  if (!Diagnostic.is(d)) fail(`diagnostic ${k} is not a Diagnostic: ${JSON.stringify(d)}`);
  check(d.range, d.data.uri, expected[row++], `diagnostic ${k}`);
  for (const info of d.relatedInformation || []) {
    if (expected[row][0] === 'P') {
      row += 1;
      if (JSON.stringify(info.location.range) !== JSON.stringify(d.range))
        fail(`diagnostic ${k}: a child without labels is not at the diagnostic's range`);
      continue;
    }
    check(info.location.range, info.location.uri, expected[row++], `diagnostic ${k} related`);
  }
  for (const fix of (d.data.fixes || []))
    for (const [uri, edits] of Object.entries(fix.edit.changes))
      for (const edit of edits) check(edit.range, uri, expected[row++], `diagnostic ${k} fix`);
});
// The engine's diagnostics, one entry per file, each of that file.
const groups = JSON.parse(fs.readFileSync(path.join(dir, 'engine.lsp.json'), 'utf8'));
groups.forEach((group, g) => {
  group.diagnostics.forEach((d, k) => {
    if (!Diagnostic.is(d)) fail(`engine file ${g} diagnostic ${k} is not a Diagnostic`);
    if (d.data.uri !== group.uri) fail(`engine file ${g} holds a diagnostic of ${d.data.uri}`);
  });
});
if (new Set(groups.map((group) => group.uri)).size !== groups.length)
  fail('the engine wrote a file twice');
if (row !== expected.length) fail(`${expected.length - row} expected ranges were not written`);
console.log(`${diagnostics.length} diagnostics checked, ${failures} failures`);
process.exit(failures === 0 ? 0 : 1);
