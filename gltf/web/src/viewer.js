// The viewer of a page written by Morvex: reads the glTF asset embedded in
// the page, shows it from the diagram's camera and lets the user orbit, pan
// and zoom. The asset's root translation (the diagram's place on the map) is
// left out, so that single-precision WebGL only sees small numbers; the map
// origin comes back in the coordinates shown under the pointer.
import {
    AmbientLight,
    DirectionalLight,
    PerspectiveCamera,
    Raycaster,
    SRGBColorSpace,
    Scene,
    TextureLoader,
    Vector2,
    Vector3,
    WebGLRenderer,
} from 'three';
import { GLTFLoader } from 'three/examples/jsm/loaders/GLTFLoader.js';
import { OrbitControls } from 'three/examples/jsm/controls/OrbitControls.js';

const settings = JSON.parse(document.getElementById('morvex-settings').textContent);
const status = document.getElementById('status');
const coordinates = document.getElementById('coordinates');

function decodeBase64(id) {
    const text = atob(document.getElementById(id).textContent.trim());
    const bytes = new Uint8Array(text.length);
    for (let i = 0; i < text.length; ++i)
        bytes[i] = text.charCodeAt(i);
    return bytes.buffer;
}

const canvas = document.getElementById('view');
const renderer = new WebGLRenderer({ canvas, antialias: true, alpha: true, preserveDrawingBuffer: true });
renderer.outputColorSpace = SRGBColorSpace;
renderer.setClearColor(0x000000, 0);
renderer.setPixelRatio(window.devicePixelRatio || 1);
const scene = new Scene();
const camera = new PerspectiveCamera(settings.camera.fieldOfView, 1, settings.camera.near, settings.camera.far);
const controls = new OrbitControls(camera, canvas);
const billboards = [];
const surfaces = [];
let drawPending = false;

// Labels turn about the vertical to face the camera, as in Morvex.
function faceCamera() {
    const at = new Vector3();
    for (const label of billboards) {
        label.getWorldPosition(at);
        label.rotation.y = Math.atan2(camera.position.x - at.x, camera.position.z - at.z);
    }
}

function draw() {
    drawPending = false;
    faceCamera();
    renderer.render(scene, camera);
}

function requestDraw() {
    if (!drawPending) {
        drawPending = true;
        requestAnimationFrame(draw);
    }
}

function resize() {
    const width = window.innerWidth, height = window.innerHeight;
    renderer.setSize(width, height, false);
    camera.aspect = width / height;
    camera.updateProjectionMatrix();
    requestDraw();
}

function addLights() {
    if (!settings.lighting)
        return;
    scene.add(new AmbientLight(0xffffff, 0.4));
    const light = new DirectionalLight(0xffffff, 2.0);
    const angle = (settings.lightDirection || 0) * Math.PI / 4;
    light.position.set(Math.sin(angle), 1, Math.cos(angle));
    scene.add(light);
}

function showCoordinates(event) {
    const pointer = new Vector2((event.clientX / window.innerWidth) * 2 - 1,
        -(event.clientY / window.innerHeight) * 2 + 1);
    const raycaster = new Raycaster();
    raycaster.setFromCamera(pointer, camera);
    const hit = raycaster.intersectObjects(surfaces, false)[0];
    if (!hit) {
        coordinates.textContent = '';
        return;
    }
    // The page's world is the scene less the root translation: map east,
    // north (scene z is south) and true elevation above the base.
    const p = hit.point, o = settings.mapOrigin;
    const digits = settings.decimals;
    coordinates.textContent = 'E ' + (o[0] + p.x).toFixed(digits) + '   N ' + (o[1] - p.z).toFixed(digits) +
        '   Z ' + (o[2] + p.y / settings.exaggeration).toFixed(digits) + (settings.crs ? '   ' + settings.crs : '');
}

// Textures are decoded as images of the page rather than image bitmaps, so
// that the page counts as loaded only once they are: a browser asked for a
// picture of the page then shows the diagram.
const loader = new GLTFLoader();
loader.register((parser) => {
    parser.textureLoader = new TextureLoader(parser.options.manager);
    return { name: 'morvex_page_images' };
});
loader.parse(decodeBase64('morvex-model'), '', (gltf) => {
    const root = gltf.scene.children.find((object) => object.userData.diagram);
    root.position.set(0, 0, 0);
    root.traverse((object) => {
        if (object.userData.billboard)
            billboards.push(object);
        if (object.isMesh && object.material.map && !object.userData.label && !object.parent.userData.label)
            surfaces.push(object);
    });
    scene.add(root);
    addLights();
    const c = settings.camera;
    camera.position.set(c.eye[0], c.eye[1], c.eye[2]);
    controls.target.set(c.target[0], c.target[1], c.target[2]);
    camera.lookAt(controls.target);
    controls.update();
    controls.addEventListener('change', requestDraw);
    window.addEventListener('resize', resize);
    canvas.addEventListener('pointermove', showCoordinates);
    status.textContent = '';
    resize();
    draw();
    document.body.dataset.ready = 'true';
}, (error) => {
    status.textContent = 'The diagram cannot be shown: ' + (error && error.message ? error.message : error);
});
