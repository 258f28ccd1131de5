#!/bin/bash
# File > Export 3-D... end to end: a bare name gets ".glb" and is written as
# binary glTF, a page name as a page holding the model; the log tells each
# file's size; replacing a file is asked first, and No keeps it; a name of
# another kind is refused in an alert and writes nothing.
. "$(dirname "$0")/rig.sh"
rig_work example
rig_start_xvfb
rig_start_morvex "$WORK/example.fnc"
rig_wait_opened
rig_wait_drawn export-3d-diagram

rig_keys 100 600 ctrl+shift+e
rig_choose_file "Export 3-D" "scene"
rig_wait_log "^Exported the diagram in 3-D to $WORK/scene\\.glb: .* \\([0-9]+ bytes\\)"
[ "$(head -c 4 scene.glb)" = glTF ] || rig_fail "scene.glb is no binary glTF"
rig_wait_log "scene\\.glb: .* \\($(stat -c %s scene.glb) bytes\\)"

rig_command ctrl+shift+e
rig_choose_file "Export 3-D" "$WORK/page.html"
rig_wait_log "^Exported the diagram in 3-D to $WORK/page\\.html: "
grep -q 'id="morvex-model"' page.html || rig_fail "page.html holds no model"

echo old >scene.glb
rig_command ctrl+shift+e
rig_choose_file "Export 3-D" "scene"
rig_answer_question no
[ "$(cat scene.glb)" = old ] || rig_fail "No replaced the file"

rig_command ctrl+shift+e
rig_choose_file "Export 3-D" "$WORK/scene.obj"
rig_dismiss_alert export-3d-refused
rig_wait_log '^The 3-D export failed: Cannot tell the 3-D format of .*scene\.obj'
[ ! -e scene.obj ] || rig_fail "scene.obj was written"
rig_quit
echo "PASS"
