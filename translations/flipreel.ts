<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1">
<context>
    <name>CliOptions</name>
    <message>
        <source>the GIF file to write, at least 5 characters; an existing file is replaced only by a complete new one; - writes the GIF to standard output</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>output size, each side 5 to 2000 pixels (default: the size of the first picture)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>play time of every frame in milliseconds (default: 1000; a video&apos;s frames keep their own); the file stores hundredths of a second, and browsers play under 2 hundredths as 10</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>times the animation repeats after its first play; 0 repeats it endlessly (default: 0)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no loop block in the file: the animation plays once</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>more pictures, one per line of FILE (- reads standard input), each optionally followed by a tab and its play time in milliseconds; they follow the pictures named as arguments</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>from a video, one frame every MS milliseconds</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>stretch (default), contain (fit inside, pad) or cover (fill, crop the overflow equally on both sides)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>padding of --fit contain, #RRGGBB or a name (default: transparent)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a picture or video that would be skipped, or gives fewer frames than it holds, fails the run instead</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no progress bar and no success message</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>this text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the version</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>
A picture that does not exist or cannot be opened refuses the run; one that
opens but cannot be read is skipped with a warning (a failure with --strict).
Exit status: 0 created, 1 creation failed, 2 bad usage or refused input,
130 or 143 stopped by Ctrl+C or SIGTERM (an existing output file is kept).
FLIPREEL_TEMP names the folder for the frame files while a run lasts.
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Usage: flipreel-cli -o OUT.gif [OPTION]... PICTURE...
Turns still pictures into one animated GIF, one frame per picture, in the
given order. A video among them gives one frame per decoded picture, an
animated GIF, APNG or WebP one per frame of the animation; a picture
given twice is two frames.

</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>frames converted at once; 0 (the default) takes one per processor; large pictures wait for each other&apos;s memory; the file is the same whatever N</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the best quality whose file holds at most SIZE bytes (500K, 2M: powers of 1024), found in about the time of three encodes (a long animation is measured on a sample of its frames first); prints the quality and size chosen, and fails with the smallest size reached when none fits; not with -Q</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1 (smallest file; every other frame shows the one before) to 100 (truest colours) (default: 95); in tenths, such as 2.5, the whole one above with a share of the frames showing the one before, more the closer to the one below; a frame shown a fifth of a second or more always shows its own picture</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CreationRules</name>
    <message>
        <source>Please enter a GIF file name to create.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Animated File created successfully!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The GIF file &quot;%1&quot; cannot be written: %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Frame %1 has the play time &quot;%2&quot;, but a play time is a whole number of milliseconds from 0 to %3. Please correct it in the frame properties.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The loop count &quot;%1&quot; is not a whole number from 0 to %2. Please correct it in the overall settings.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CreationRun</name>
    <message>
        <source>unknown error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Frame %1: cannot read the picture &quot;%2&quot;: %3.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Frame %1: cannot read the picture &quot;%2&quot;: it holds no picture.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Frame %1: cannot scale the picture &quot;%2&quot; to %3 x %4: %5.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Frame %1: cannot write the temporary file &quot;%2&quot;: %3.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Frame %1: not enough memory to convert the picture &quot;%2&quot;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot write the GIF file &quot;%1&quot;: not enough memory.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Frame %1: cannot add the temporary file &quot;%2&quot;: %3.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Frame %1: cannot give it the delay of %2 hundredths (play time %3 ms): %4.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot write the GIF file &quot;%1&quot;: %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The run was stopped.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DocumentModel</name>
    <message>
        <source>Total play time: %1 ms</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FileNames</name>
    <message>
        <source>it is a folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>it is not a regular file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>it is a link that another user made in a shared folder, which is not followed</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FlipreelCli</name>
    <message>
        <source>warning: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start Creating...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>stopped</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Try &apos;flipreel-cli --help&apos;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the play time &quot;%1&quot; is not a whole number of milliseconds from 0 to %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the loop count &quot;%1&quot; is not a whole number from 0 to %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--once and --loop contradict each other: give one of them</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 (--strict)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>skipped &quot;%1&quot;: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>&quot;%1&quot;: %2; frames decoded before, which are used: %n</source>
        <translation type="unfinished">
            <numerusform></numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>at least two readable pictures are needed (readable: %n)</source>
        <translation type="unfinished">
            <numerusform></numerusform>
        </translation>
    </message>
    <message>
        <source>writing to standard output: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Animated File created successfully!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>at most %1 frames can be made into an animation (%2 given)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the size &quot;%1&quot; is not a number of bytes (such as 500K or 2M)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--max-size chooses the quality: it cannot be given with -Q</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no quality fits in %1 bytes: the smallest file made holds %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>quality %1, %2 bytes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the number of jobs &quot;%1&quot; is not a whole number from 0 up</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the quality &quot;%1&quot; is not a number from 1 to 100 in tenths (such as 95 or 2.5)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FrameOptions</name>
    <message>
        <source>the interval &quot;%1&quot; is not a whole number of milliseconds from 1 to %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the fit &quot;%1&quot; is none of stretch, contain, cover</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the background &quot;%1&quot; is not a colour (#RRGGBB or a name such as white)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>frame %1 plays %2 ms</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n frames play under 15 ms (the first: frame %1, %2 ms)</source>
        <translation type="unfinished">
            <numerusform></numerusform>
        </translation>
    </message>
    <message>
        <source>%1, which the file stores as 0 or 1 hundredth of a second; browsers play such frames as 10 hundredths (100 ms)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FrameQuantizer</name>
    <message>
        <source>there is no picture</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FrmAbout</name>
    <message>
        <source>About Flipreel 1.30</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Flipreel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>VER   1.30</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FrmGif</name>
    <message>
        <source>Flipreel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Flipreel 1.30</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Website</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>About...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add pictures</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete the checked pictures</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move the selected picture up</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move the selected picture down</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Preview the selected picture</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Change the frame properties</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Go: play the preview</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stop the preview</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Create the GIF</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Frame %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>     File Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File Type</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Dimensions</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Address</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Frame #</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Play Time / ms</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Transparent</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Transparent Color</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Yes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Popular Images(*.bmp,*.gif,*.jpg,*.png,*.ico)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>All Supported Image Files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>GIF Files (*.gif)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Bitmap (*.bmp)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>JPG/JPEG Files (*.jpg;*.jpeg)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PNG Files (*.png)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Device Independent Bitmap (*.dib)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enhanced Meta Files (*.emf)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ICB Files (*.icb)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ICON Files (*.ico)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Portable Bitmap Files (*.pbm)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Photo CD Files (*.pcd)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PCX Files (*.pcx)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PGM Files (*.pgm)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Portable Network Graphics (*.png)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PPM Files (*.ppm)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Photo Shop Files (*.psd)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Paint Shop Files (*.psp)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>RLE Files (*.rle)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SGI Files (*.sgi)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Targa Files (*.tga)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tagged Image Format Files (*.tif;*.tiff)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>VDA Files (*.vda)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>VST Files (*.vst)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>WBMP Files (*.wbmp)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Windows Meta Files (*.wmf)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>All Files(*.*)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The picture list is full: it holds at most %1 pictures. The remaining files were not added.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add Graphic Files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unknown file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 image</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No files in the list view!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No files checked in the list views!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No files in list to move up</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No files in list to move</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No files in the list view</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click [Add Pictures...] to open files and add pictures to the list view, or click [Delete] to remove checked files from the list.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click [Move Up] or [Move Down] to move the selected row up or down. Click [Preview...] to preview a picture.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Add Pictures ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move &amp;Up</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Move Down</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Preview...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Total Files:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pictures</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click [ Go Preview ] to preview the GIF Animation, and click [ Stop Preview ] to stop the preview</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Go Preview</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Stop Preview</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Frame:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Loading 0% ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>100% Loaded.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No frames added!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enter a file name to save the created GIF. Click [Create Animated GIF Now!] to start creating your GIF.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Animated GIF file name:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Create Animated GIF Now!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The GIF cannot be created: %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start Creating...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save as GIF file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Animated GIF Files(*.gif)|*.gif</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click [Change Properties...] or double click a frame row to change the frame properties.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Change Properties ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Frames</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No files in list!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You may enter parameters for all frames here, and you may also change each frame&apos;s properties in &quot;Frame Properties&quot; tabbed window.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Play time every frame</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Milli Seconds ( from 100 to 30000 )</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Loop times when play</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>( from 0 to 9999, and 0 stands for loop infinitely )</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Output GIF Dimensions</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select from original pictures dimensions</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Or enter your own dimensions values</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>X</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>YES</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Double click the below rectangle to select a color as transparent:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select a Transparent color</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Check all pictures</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose the GIF file name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Original pictures dimensions</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Output GIF width</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Output GIF height</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FrmPreview</name>
    <message>
        <source>Click to close preview window</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> [ %1 x %2 ] </source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FrmProp</name>
    <message>
        <source>Frame Properties...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Frame #:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File Name:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Play Time:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Do you want to set a color to transparent in this frame?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Double click the below rectangle to select a color as transparent:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Milli Seconds</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>YES</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Apply to All Frames</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select a Transparent color</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>GifAssembler</name>
    <message>
        <source>frame %1 (%2): %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a frame could not be compressed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>frame %1 (%2): the file does not exist</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>there is no frame %1 (frames are counted from 0; %2 added)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no output file named</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: the animation has no frames</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>cannot create %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>cannot write %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the writing was stopped</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>stopped</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>GifCodec</name>
    <message>
        <source>error %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>unreadable GIF: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>corrupt or truncated GIF: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the GIF file holds no picture</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the GIF picture has no colour table</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not enough memory for a %1 x %2 picture</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 failed: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>opening the GIF encoder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>writing the screen descriptor</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>writing the loop extension</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>writing an image descriptor</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>malformed compressed data</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>writing the pixels</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>writing a graphic control extension</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>compressing the pixels</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>finishing the GIF</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>writing</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>IcoCodec</name>
    <message>
        <source>truncated icon file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>corrupt or truncated icon directory</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the icon data is truncated</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the icon file holds no readable picture</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ImageEngine</name>
    <message>
        <source>there is no picture to resize</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>cannot resize to %1 x %2: %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not enough memory to resize to %1 x %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: there is no picture to save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not enough memory to pad to %1 x %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ImagingRuntime</name>
    <message>
        <source>the picture has no pixels (%1 x %2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the picture measures %1 x %2, above the limit of %3 pixels per side</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the picture measures %1 x %2, above the limit of %3 megapixels</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>JpegCodec</name>
    <message>
        <source>unreadable JPEG: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the JPEG data is truncated</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not enough memory for a %1 x %2 picture</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MagickCodec</name>
    <message>
        <source>unknown ImageMagick error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no picture was read</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>corrupt or truncated %1 data: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>unreadable %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the %1 file holds no picture</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not enough memory for a %1 x %2 picture</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the %1 picture could not be converted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not enough memory to read the %1 picture</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>unreadable %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Messages</name>
    <message>
        <source>Flipreel</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ModTab</name>
    <message>
        <source>1. Add Pictures</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>2. Overall Settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>3. Frame Properties</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>4. Preview GIF</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>5. Create GIF Now!</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>OutputSize</name>
    <message>
        <source>Please enter correct dimenions value including width and height in overall settings window</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The width or height value is too small, please reset it</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The width or height value is too big, please reset it</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PicSize</name>
    <message>
        <source>the path is too short</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the picture is too small (%1 x %2)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PictureFile</name>
    <message>
        <source>the file does not exist</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no permission to read the file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the path is a folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not a regular file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the file is empty</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the file is too large (more than %1 MB)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not enough memory to read the file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the file is truncated: it was cut short while it was read</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PictureReader</name>
    <message>
        <source>unreadable %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not enough memory for a %1 x %2 picture</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 pictures cannot be decoded: there is no decoder for them on this system</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not a picture format that can be read</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>unreadable PNG: no image header</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the PNG data is truncated</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not enough memory to turn the picture upright</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the BMP pixel data is truncated</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not enough memory for the picture</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the %1 data is truncated</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PreviewLayout</name>
    <message>
        <source>%1% Loading ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Loop Times: %1   Play Time: %2 MS    Frame: %3</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Quantizer</name>
    <message>
        <source>quality too low</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>value out of range</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>out of memory</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>aborted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>bitmap not available</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>buffer too small</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>invalid pointer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>unsupported</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>error %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>there is no picture</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not enough memory to convert the picture</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>libimagequant could not start</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>libimagequant refused the %1 x %2 picture</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>making the palette failed: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not enough memory for the palette picture</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>mapping to the palette failed: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the palette has no room for the transparent colour</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ReplacingFile</name>
    <message>
        <source>the run was stopped</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>can only be opened once, for writing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the file is not open</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RunFolder</name>
    <message>
        <source>cannot make a temporary folder in &quot;%1&quot;: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no temporary folder is known</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>it is not a folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>it belongs to another user</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>other users may write in it and it is not sticky (chmod +t)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>its new subfolder was replaced by another user&apos;s</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ShortDelays</name>
    <message>
        <source>Play time in milliseconds. The GIF file stores hundredths of a second, and
browsers play a frame of under 15 ms (0 or 1 hundredth) as 100 ms.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SizeTarget</name>
    <message>
        <source>Cannot keep the file &quot;%1&quot;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot write the GIF file &quot;%1&quot;: %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot read the file &quot;%1&quot;: %2.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>VideoFrames</name>
    <message>
        <source>cannot write the temporary file &quot;%1&quot;: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>holds no pictures</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot;%1&quot; gives more than %2 frames in all; take fewer with --every</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>stopped</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the frames of &quot;%1&quot; need about %2 MB in &quot;%3&quot;, which has %4 MB free</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>VideoReader</name>
    <message>
        <source>not a regular file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>video support is not installed: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>cannot decode the video: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>cannot read the video: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not a video: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>holds no video that can be decoded</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>cannot start the video decoder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>cannot convert the video&apos;s pictures</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>stopped</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>reading the video takes too long</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the file ends before the video does</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
