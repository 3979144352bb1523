#!/usr/bin/python3
"""Draws the sections of `veldro-cli export vtk` in 3D into a PNG, offscreen.

Usage: render-sections.py SURVEY.vtu OUT.png  (under a display: xvfb-run -a)
Debian's python3-vtk9; colours of log10 resistivity from conductive red to
resistive blue, as the program draws its sections.
"""
import sys

from vtkmodules.vtkIOXML import vtkXMLUnstructuredGridReader
from vtkmodules.vtkCommonDataModel import vtkPlane
from vtkmodules.vtkFiltersGeneral import vtkClipDataSet
from vtkmodules.vtkCommonCore import vtkLookupTable
from vtkmodules.vtkRenderingCore import (vtkActor, vtkDataSetMapper, vtkRenderer,
                                         vtkRenderWindow, vtkWindowToImageFilter)
from vtkmodules.vtkRenderingAnnotation import vtkCubeAxesActor, vtkScalarBarActor
from vtkmodules.vtkIOImage import vtkPNGWriter
import vtkmodules.vtkRenderingOpenGL2  # noqa: F401  the rendering back end
import vtkmodules.vtkRenderingFreeType  # noqa: F401  text

source, target = sys.argv[1], sys.argv[2]
reader = vtkXMLUnstructuredGridReader()
reader.SetFileName(source)
reader.Update()
# The top 250 m, where the data see: an inversion's mesh reaches far deeper.
top = reader.GetOutput().GetBounds()[5]
cut = vtkPlane()
cut.SetOrigin(0, 0, top - 250)
cut.SetNormal(0, 0, 1)
clip = vtkClipDataSet()
clip.SetInputConnection(reader.GetOutputPort())
clip.SetClipFunction(cut)
clip.Update()
grid = clip.GetOutput()
grid.GetCellData().SetActiveScalars("log10 Resistivity")
low, high = grid.GetCellData().GetArray("log10 Resistivity").GetRange()

colours = vtkLookupTable()
colours.SetHueRange(0.0, 0.66)
colours.SetRange(low, high)
colours.Build()
mapper = vtkDataSetMapper()
mapper.SetInputData(grid)
mapper.SetLookupTable(colours)
mapper.SetScalarRange(low, high)
mapper.SetScalarModeToUseCellData()
sections = vtkActor()
sections.SetMapper(mapper)
# Heights drawn twice over, so that the shallow sections show.
sections.SetScale(1, 1, 2)

bar = vtkScalarBarActor()
bar.SetLookupTable(colours)
bar.SetTitle("log10 ohm.m")
bar.SetNumberOfLabels(5)
bar.SetWidth(0.08)

renderer = vtkRenderer()
renderer.SetBackground(1, 1, 1)
renderer.AddActor(sections)
renderer.AddActor2D(bar)
axes = vtkCubeAxesActor()
axes.SetBounds(sections.GetBounds())
axes.SetCamera(renderer.GetActiveCamera())
axes.SetXTitle("Easting (m)")
axes.SetYTitle("Northing (m)")
axes.SetZTitle("Height (m, x2)")
for i in range(3):
    axes.GetTitleTextProperty(i).SetColor(0, 0, 0)
    axes.GetLabelTextProperty(i).SetColor(0, 0, 0)
axes.GetXAxesLinesProperty().SetColor(0, 0, 0)
axes.GetYAxesLinesProperty().SetColor(0, 0, 0)
axes.GetZAxesLinesProperty().SetColor(0, 0, 0)
renderer.AddActor(axes)
bar.GetTitleTextProperty().SetColor(0, 0, 0)
bar.GetLabelTextProperty().SetColor(0, 0, 0)

camera = renderer.GetActiveCamera()
camera.SetViewUp(0, 0, 1)
# From the south-east and above, along the stack of sections.
camera.SetPosition(1, -0.8, 0.9)
camera.SetFocalPoint(0, 0, 0)
renderer.ResetCamera()
camera.Zoom(1.05)

window = vtkRenderWindow()
window.SetOffScreenRendering(1)
window.SetSize(1039, 763)
window.AddRenderer(renderer)
window.Render()
image = vtkWindowToImageFilter()
image.SetInput(window)
image.Update()
writer = vtkPNGWriter()
writer.SetFileName(target)
writer.SetInputConnection(image.GetOutputPort())
writer.Write()
