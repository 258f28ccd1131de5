#!/usr/bin/python3
"""The benchmark's peer: builds the same fence diagram with VTK (each section
picture as one texture on quads along its polyline, unlit) and draws the same
view offscreen to a PNG. Prints peer-open (read, build, first frame),
peer-steady (median frame) and peer-peak (bytes) for the benchmark table.

Usage: vtk_peer.py DIAGRAM.fnc OUT.png WIDTH HEIGHT   (needs an X display)
"""
import math
import os
import resource
import statistics
import sys
import time

import vtkmodules.all as vtk


def read_description(path):
    with open(path) as f:
        tokens = f.read().split()
    pos = 1  # the first word is the magic
    count = int(tokens[pos]); pos += 1
    fences = []
    for _ in range(count):
        n = int(tokens[pos]); pos += 1
        points = []
        for _ in range(n):
            x, y, z = (float(t) for t in tokens[pos:pos + 3]); pos += 3
            points.append((x, z, y))  # file axes to scene axes: y is up
        image = tokens[pos]; pos += 3  # image, description, label end
        fences.append((points, os.path.join(os.path.dirname(path), image)))
    camera = [float(t) for t in tokens[pos:pos + 9]]
    return fences, camera


def reader_for(path):
    lower = path.lower()
    if lower.endswith(".png"):
        reader = vtk.vtkPNGReader()
    elif lower.endswith(".jpg") or lower.endswith(".jpeg"):
        reader = vtk.vtkJPEGReader()
    else:
        reader = vtk.vtkBMPReader()
    reader.SetFileName(path)
    reader.Update()
    return reader


def fence_actor(points, image_path, origin):
    reader = reader_for(image_path)
    width, height, _ = reader.GetOutput().GetDimensions()
    local = [(p[0] - origin[0], p[1] - origin[1], p[2] - origin[2]) for p in points]
    arcs = [0.0]
    for a, b in zip(local, local[1:]):
        arcs.append(arcs[-1] + math.dist(a, b))
    length = arcs[-1]
    depth = height * length / width  # the picture keeps its aspect
    vtk_points = vtk.vtkPoints()
    tcoords = vtk.vtkFloatArray()
    tcoords.SetNumberOfComponents(2)
    for p, s in zip(local, arcs):
        vtk_points.InsertNextPoint(p[0], p[1], p[2])
        tcoords.InsertNextTuple2(s / length, 1.0)
        vtk_points.InsertNextPoint(p[0], p[1] - depth, p[2])
        tcoords.InsertNextTuple2(s / length, 0.0)
    quads = vtk.vtkCellArray()
    for i in range(len(local) - 1):
        quads.InsertNextCell(4, (2 * i, 2 * i + 1, 2 * i + 3, 2 * i + 2))
    poly = vtk.vtkPolyData()
    poly.SetPoints(vtk_points)
    poly.SetPolys(quads)
    poly.GetPointData().SetTCoords(tcoords)
    texture = vtk.vtkTexture()
    texture.SetInputConnection(reader.GetOutputPort())
    texture.InterpolateOn()
    mapper = vtk.vtkPolyDataMapper()
    mapper.SetInputData(poly)
    actor = vtk.vtkActor()
    actor.SetMapper(mapper)
    actor.SetTexture(texture)
    actor.GetProperty().LightingOff()
    return actor, depth


def main():
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    path, out, width, height = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
    start = time.perf_counter()
    fences, stored = read_description(path)
    origin = tuple(round(c) for c in fences[0][0][0])
    renderer = vtk.vtkRenderer()
    renderer.SetBackground(1.0, 1.0, 1.0)
    lows, highs, deepest = [1e300] * 3, [-1e300] * 3, 0.0
    for points, image in fences:
        actor, depth = fence_actor(points, image, origin)
        renderer.AddActor(actor)
        deepest = max(deepest, depth)
        for p in points:
            for k in range(3):
                lows[k] = min(lows[k], p[k] - origin[k])
                highs[k] = max(highs[k], p[k] - origin[k])
    camera = renderer.GetActiveCamera()
    if stored[0:3] != stored[3:6]:
        camera.SetPosition(*(stored[k] - origin[k] for k in range(3)))
        camera.SetFocalPoint(*(stored[3 + k] - origin[k] for k in range(3)))
        camera.SetViewAngle(stored[6])
        camera.SetClippingRange(stored[7], stored[8])
    else:  # the automatic placement of the viewer
        centre = [(lows[k] + highs[k]) / 2 for k in range(3)]
        size = max(highs[0] - lows[0], highs[2] - lows[2])
        camera.SetFocalPoint(centre[0], centre[1] - deepest / 2, centre[2])
        camera.SetPosition(centre[0], centre[1] - deepest / 2, centre[2] + 2 * size)
        camera.SetViewAngle(45.0)
        camera.SetClippingRange(0.01 * size, 3 * size)
    camera.SetViewUp(0.0, 1.0, 0.0)
    window = vtk.vtkRenderWindow()
    window.SetOffScreenRendering(1)
    window.SetSize(width, height)
    window.AddRenderer(renderer)
    window.Render()
    window.WaitForCompletion()
    opened = time.perf_counter() - start
    frames = []
    for _ in range(5):
        begin = time.perf_counter()
        window.Render()
        window.WaitForCompletion()
        frames.append(time.perf_counter() - begin)
    grab = vtk.vtkWindowToImageFilter()
    grab.SetInput(window)
    writer = vtk.vtkPNGWriter()
    writer.SetFileName(out)
    writer.SetInputConnection(grab.GetOutputPort())
    writer.Write()
    print("peer-open %.6f" % opened)
    print("peer-steady %.6f" % statistics.median(frames))
    print("peer-peak %d" % (resource.getrusage(resource.RUSAGE_SELF).ru_maxrss * 1024))


if __name__ == "__main__":
    main()
