// Validates a glTF asset, or the asset embedded in a page Morvex wrote, with
// the Khronos glTF validator and tells what the tests look for, one
// "name value" line each: the validator's errors and warnings, the messages
// themselves, meshes with a textured triangle primitive that is not blended
// (fence pieces, not text), materials with an alpha mask, line primitives,
// nodes with a camera, images.
//   node check-gltf.mjs FILE [WEB_DIR]   (WEB_DIR holds node_modules)
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { join, resolve } from 'node:path';

const [file, webDir = '.'] = process.argv.slice(2);
const validator = createRequire(join(resolve(webDir), 'package.json'))('gltf-validator');

let bytes = readFileSync(file);
if (file.toLowerCase().endsWith('.html')) {
    const page = bytes.toString('utf8');
    const model = /<script type="application\/octet-stream" id="morvex-model">([^<]*)<\/script>/.exec(page);
    if (!model)
        throw new Error('the page holds no model');
    bytes = Buffer.from(model[1].replace(/\s+/g, ''), 'base64');
}
const report = await validator.validateBytes(new Uint8Array(bytes), { maxIssues: 100 });
console.log('errors', report.issues.numErrors);
console.log('warnings', report.issues.numWarnings);
for (const message of report.issues.messages)
    if (message.severity <= 1)
        console.log('message', message.code, message.pointer || '', message.message);

// The asset's JSON itself: from the GLB's first chunk, or the whole file.
const json = bytes.readUInt32LE(0) === 0x46546c67
    ? JSON.parse(bytes.subarray(20, 20 + bytes.readUInt32LE(12)).toString('utf8'))
    : JSON.parse(bytes.toString('utf8'));
const materials = json.materials || [];
const fences = (json.meshes || []).filter((mesh) => mesh.primitives.some((p) =>
    (p.mode === undefined || p.mode === 4) && p.attributes.TEXCOORD_0 !== undefined &&
    materials[p.material]?.pbrMetallicRoughness?.baseColorTexture !== undefined &&
    materials[p.material].alphaMode !== 'BLEND'));
console.log('fenceMeshes', fences.length);
console.log('maskMaterials', materials.filter((m) => m.alphaMode === 'MASK').length);
console.log('linePrimitives', (json.meshes || []).flatMap((m) => m.primitives).filter((p) => p.mode === 1).length);
console.log('cameraNodes', (json.nodes || []).filter((n) => n.camera !== undefined).length);
console.log('images', (json.images || []).length);
