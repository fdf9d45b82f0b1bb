<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>pellam::AnalysisPage</name>
    <message>
        <source>分析</source>
        <translation>Analyse</translation>
    </message>
    <message>
        <source>Source from DDC</source>
        <translation>Source: DDC</translation>
    </message>
    <message>
        <source>Source from File</source>
        <translation>Source: file</translation>
    </message>
    <message>
        <source>Current Source</source>
        <translation>Current image</translation>
    </message>
    <message>
        <source>Test Log</source>
        <translation>Test log</translation>
    </message>
    <message>
        <source>
Nothing was analysed.</source>
        <translation>
Nothing was analysed.</translation>
    </message>
</context>
<context>
    <name>pellam::AudioPage</name>
    <message>
        <source>No of Audio Short Descriptor:</source>
        <translation>Short Audio Descriptors:</translation>
    </message>
    <message>
        <source>音频格式</source>
        <translation>Audio Format</translation>
    </message>
    <message>
        <source>采样率</source>
        <translation>Sample Rates</translation>
    </message>
    <message>
        <source>样本大小</source>
        <translation>Sample Size</translation>
    </message>
    <message>
        <source>2 Channels </source>
        <translation>2 Channels </translation>
    </message>
    <message>
        <source>扬声器系统</source>
        <translation>Speaker Allocation</translation>
    </message>
    <message>
        <source>Enable</source>
        <translation>Enable</translation>
    </message>
    <message>
        <source>Max. bit rate: </source>
        <translation>Max. bit rate: </translation>
    </message>
    <message>
        <source>Audio #%1</source>
        <translation>Audio #%1</translation>
    </message>
    <message>
        <source>Invalid data! Please Input positive integer</source>
        <translation>Invalid data. Enter a positive integer.</translation>
    </message>
    <message>
        <source>Out of Range</source>
        <translation>Out of range</translation>
    </message>
    <message>
        <source> Channels</source>
        <translation> Channels</translation>
    </message>
</context>
<context>
    <name>pellam::ColorimetryGroup</name>
    <message>
        <source>色度数据</source>
        <translation>Colorimetry Data Block</translation>
    </message>
    <message>
        <source>Enable</source>
        <translation>Enable</translation>
    </message>
    <message>
        <source>Colorimetry</source>
        <translation>Colorimetry</translation>
    </message>
    <message>
        <source>MD0-MD3 are reserved in CTA-861-H; defaultRGB and sRGB from CTA-861.6</source>
        <translation>MD0-MD3 are reserved in CTA-861-H; defaultRGB and sRGB from CTA-861.6</translation>
    </message>
</context>
<context>
    <name>pellam::DescriptorPage</name>
    <message>
        <source>Timing</source>
        <translation>Timing</translation>
    </message>
    <message>
        <source>立体模式</source>
        <translation>Stereo Mode</translation>
    </message>
    <message>
        <source>同步说明</source>
        <translation>Sync</translation>
    </message>
    <message>
        <source>像素时钟: </source>
        <translation>Pixel clock: </translation>
    </message>
    <message>
        <source>Input Mode Pixel Clock in MHz.</source>
        <translation>Pixel clock of the mode in MHz.</translation>
    </message>
    <message>
        <source>H Active Pixel : </source>
        <translation>H Active : </translation>
    </message>
    <message>
        <source>H Blanking : </source>
        <translation>H Blanking : </translation>
    </message>
    <message>
        <source>H同步偏移: </source>
        <translation>H Sync Offset: </translation>
    </message>
    <message>
        <source>H同步宽度 : </source>
        <translation>H Sync Width : </translation>
    </message>
    <message>
        <source>H图像大小: </source>
        <translation>H Image Size: </translation>
    </message>
    <message>
        <source>H边框 : </source>
        <translation>H Border : </translation>
    </message>
    <message>
        <source>V Active Line : </source>
        <translation>V Active : </translation>
    </message>
    <message>
        <source>V Blanking : </source>
        <translation>V Blanking : </translation>
    </message>
    <message>
        <source>V同步偏移: </source>
        <translation>V Sync Offset: </translation>
    </message>
    <message>
        <source>V同步宽度 : </source>
        <translation>V Sync Width : </translation>
    </message>
    <message>
        <source>V图像大小: </source>
        <translation>V Image Size: </translation>
    </message>
    <message>
        <source>V边框 : </source>
        <translation>V Border : </translation>
    </message>
    <message>
        <source>Horizontal Active Pixels (1~4095)</source>
        <translation>Horizontal active pixels (1~4095)</translation>
    </message>
    <message>
        <source>Horizontal Blanking Pixels (1~4095)</source>
        <translation>Horizontal blanking pixels (1~4095)</translation>
    </message>
    <message>
        <source>Horizontal Snyc Offset (1~1023)</source>
        <translation>Horizontal sync offset (front porch, 1~1023)</translation>
    </message>
    <message>
        <source>Horizontal Snyc Pulse Width (1~1023)</source>
        <translation>Horizontal sync pulse width (1~1023)</translation>
    </message>
    <message>
        <source>Horizontal Display Image Size (mm)(1~4095)</source>
        <translation>Horizontal image size in mm (1~4095)</translation>
    </message>
    <message>
        <source>H 边框，必须设置为0</source>
        <translation>Horizontal border, must be 0</translation>
    </message>
    <message>
        <source>Vertical Active Lines (1~4095)</source>
        <translation>Vertical active lines (1~4095)</translation>
    </message>
    <message>
        <source>Vertical Blanking Lines (1~4095)</source>
        <translation>Vertical blanking lines (1~4095)</translation>
    </message>
    <message>
        <source>Vertical Snyc Offset (1~63)</source>
        <translation>Vertical sync offset (front porch, 1~63)</translation>
    </message>
    <message>
        <source>V同步脉冲宽度(1~63)</source>
        <translation>Vertical sync pulse width (1~63)</translation>
    </message>
    <message>
        <source>Vertical Display Image Size ((mm)1~4095)</source>
        <translation>Vertical image size in mm (1~4095)</translation>
    </message>
    <message>
        <source>Vertical Border, must be set to  0</source>
        <translation>Vertical border, must be 0</translation>
    </message>
    <message>
        <source>隔行模式</source>
        <translation>Interlaced</translation>
    </message>
    <message>
        <source>None (Normal)</source>
        <translation>None (normal)</translation>
    </message>
    <message>
        <source>FS, R on Sync</source>
        <translation>FS, R on sync</translation>
    </message>
    <message>
        <source>2Way, R on even</source>
        <translation>2-way, R on even</translation>
    </message>
    <message>
        <source>FS, L on Sync</source>
        <translation>FS, L on sync</translation>
    </message>
    <message>
        <source>2Way, L on even</source>
        <translation>2-way, L on even</translation>
    </message>
    <message>
        <source>Side by Side</source>
        <translation>Side by side</translation>
    </message>
    <message>
        <source>模拟复合</source>
        <translation>Analog Composite</translation>
    </message>
    <message>
        <source>双极模拟复合</source>
        <translation>Bipolar Analog Composite</translation>
    </message>
    <message>
        <source>数字复合</source>
        <translation>Digital Composite</translation>
    </message>
    <message>
        <source>数字分离</source>
        <translation>Digital Separate</translation>
    </message>
    <message>
        <source>锯齿状</source>
        <translation>Serrations</translation>
    </message>
    <message>
        <source>#Block 1</source>
        <translation>#Block 1</translation>
    </message>
    <message>
        <source>描述</source>
        <translation>Descriptor</translation>
    </message>
    <message>
        <source>选择详细的时序描述符块</source>
        <translation>Choose the 18-byte descriptor</translation>
    </message>
    <message>
        <source>Block %1</source>
        <translation>Block %1</translation>
    </message>
    <message>
        <source>This Timing is &quot;Preferred Timing&quot;. Please set to Native Timing and Native Resolution.</source>
        <translation>This timing is the Preferred Timing: set it to the native timing and resolution.</translation>
    </message>
    <message>
        <source>默认的Timing选择</source>
        <translation>Timing presets</translation>
    </message>
    <message>
        <source>监视器说明</source>
        <translation>Display Descriptor</translation>
    </message>
    <message>
        <source>监视器序列号</source>
        <translation>Serial Number</translation>
    </message>
    <message>
        <source>Serial Number &lt;= 13Bytes</source>
        <translation>Serial number, up to 13 bytes</translation>
    </message>
    <message>
        <source>ASCII字符串</source>
        <translation>ASCII String</translation>
    </message>
    <message>
        <source>ASCII String &lt;= 13Bytes</source>
        <translation>ASCII string, up to 13 bytes</translation>
    </message>
    <message>
        <source>监视器范围</source>
        <translation>Range Limits</translation>
    </message>
    <message>
        <source>Monitor Range, binary coded</source>
        <translation>Display range limits, binary coded</translation>
    </message>
    <message>
        <source>监视器名称</source>
        <translation>Product Name</translation>
    </message>
    <message>
        <source>Monitor Name, ASCII</source>
        <translation>Display product name, ASCII</translation>
    </message>
    <message>
        <source>额外信息</source>
        <translation>Color Point</translation>
    </message>
    <message>
        <source>额外Timing</source>
        <translation>Std. Timings</translation>
    </message>
    <message>
        <source>未使用</source>
        <translation>Unused</translation>
    </message>
    <message>
        <source>虚拟描述符</source>
        <translation>Dummy</translation>
    </message>
    <message>
        <source>制造商定义</source>
        <translation>Mfr. Specified</translation>
    </message>
    <message>
        <source>序列号</source>
        <translation>Serial Number</translation>
    </message>
    <message>
        <source>字符串数据 (Max. 13 Byte)</source>
        <translation>String data (max. 13 bytes)</translation>
    </message>
    <message>
        <source>监视器范围限制</source>
        <translation>Display Range Limits</translation>
    </message>
    <message>
        <source>Min. V rate (Hz) :</source>
        <translation>Min. V rate (Hz) :</translation>
    </message>
    <message>
        <source>Max. V rate (Hz) :</source>
        <translation>Max. V rate (Hz) :</translation>
    </message>
    <message>
        <source>Min. H freq (KHz) :</source>
        <translation>Min. H rate (kHz) :</translation>
    </message>
    <message>
        <source>Max. H freq (KHz) :</source>
        <translation>Max. H rate (kHz) :</translation>
    </message>
    <message>
        <source>Max. Pixel (MHz) :</source>
        <translation>Max. pixel clock (MHz) :</translation>
    </message>
    <message>
        <source>Support 2 GTF</source>
        <translation>Secondary GTF</translation>
    </message>
    <message>
        <source>Start F (KHz): </source>
        <translation>Start freq. (kHz): </translation>
    </message>
    <message>
        <source>#Block %1</source>
        <translation>#Block %1</translation>
    </message>
    <message>
        <source>Serial Number</source>
        <translation>Serial Number</translation>
    </message>
    <message>
        <source>ASCII String</source>
        <translation>ASCII String</translation>
    </message>
    <message>
        <source>Monitor Name</source>
        <translation>Product Name</translation>
    </message>
    <message>
        <source>String Data (Max. 13 Byte)</source>
        <translation>String data (max. 13 bytes)</translation>
    </message>
</context>
<context>
    <name>pellam::DetailedTimingEditor</name>
    <message>
        <source>V Polarity (Positive)</source>
        <translation>V polarity (positive)</translation>
    </message>
    <message>
        <source>None</source>
        <translation>None</translation>
    </message>
</context>
<context>
    <name>pellam::ExtendedBlocksPage</name>
    <message>
        <source>视频能力数据</source>
        <translation>Video Capability Data Block</translation>
    </message>
    <message>
        <source>Enable</source>
        <translation>Enable</translation>
    </message>
    <message>
        <source>Quantization Range (YCC)</source>
        <translation>Quantization Range (YCC)</translation>
    </message>
    <message>
        <source>Quantization Range (RGB)</source>
        <translation>Quantization Range (RGB)</translation>
    </message>
    <message>
        <source>PT Overscan/Underscan</source>
        <translation>PT Overscan/Underscan</translation>
    </message>
    <message>
        <source>IT Overscan/Underscan</source>
        <translation>IT Overscan/Underscan</translation>
    </message>
    <message>
        <source>CE Overscan/Underscan</source>
        <translation>CE Overscan/Underscan</translation>
    </message>
    <message>
        <source>Colorimetry Data Block</source>
        <translation>Colorimetry Data Block</translation>
    </message>
    <message>
        <source>Colorimetry</source>
        <translation>Colorimetry</translation>
    </message>
    <message>
        <source>Metadata</source>
        <translation>Metadata</translation>
    </message>
</context>
<context>
    <name>pellam::ExtensionTimingsPage</name>
    <message>
        <source>Timing</source>
        <translation>Timing</translation>
    </message>
    <message>
        <source>立体模式</source>
        <translation>Stereo Mode</translation>
    </message>
    <message>
        <source>同步方案</source>
        <translation>Sync</translation>
    </message>
    <message>
        <source>Pixel Clock:   MHz</source>
        <translation>Pixel clock:   MHz</translation>
    </message>
    <message>
        <source>H Active Pixel: </source>
        <translation>H Active: </translation>
    </message>
    <message>
        <source>H Blanking: </source>
        <translation>H Blanking: </translation>
    </message>
    <message>
        <source>H Sync Offset: </source>
        <translation>H Sync Offset: </translation>
    </message>
    <message>
        <source>H Sync Width: </source>
        <translation>H Sync Width: </translation>
    </message>
    <message>
        <source>H Image Size: </source>
        <translation>H Image Size: </translation>
    </message>
    <message>
        <source>H Border: </source>
        <translation>H Border: </translation>
    </message>
    <message>
        <source>V Active Line: </source>
        <translation>V Active: </translation>
    </message>
    <message>
        <source>V Blanking: </source>
        <translation>V Blanking: </translation>
    </message>
    <message>
        <source>V Sync Offset: </source>
        <translation>V Sync Offset: </translation>
    </message>
    <message>
        <source>V Sync Width: </source>
        <translation>V Sync Width: </translation>
    </message>
    <message>
        <source>V Image Size: </source>
        <translation>V Image Size: </translation>
    </message>
    <message>
        <source>V Border: </source>
        <translation>V Border: </translation>
    </message>
    <message>
        <source>Interlaced</source>
        <translation>Interlaced</translation>
    </message>
    <message>
        <source>FS, R on Sync</source>
        <translation>FS, R on sync</translation>
    </message>
    <message>
        <source>2 way, R on even</source>
        <translation>2-way, R on even</translation>
    </message>
    <message>
        <source>FS,L on Sync</source>
        <translation>FS, L on sync</translation>
    </message>
    <message>
        <source>2 way , L on even</source>
        <translation>2-way, L on even</translation>
    </message>
    <message>
        <source>4 way</source>
        <translation>4-way</translation>
    </message>
    <message>
        <source>Side by side</source>
        <translation>Side by side</translation>
    </message>
    <message>
        <source>Analog Composite</source>
        <translation>Analog Composite</translation>
    </message>
    <message>
        <source>Bipolar Analog Composite</source>
        <translation>Bipolar Analog Composite</translation>
    </message>
    <message>
        <source>Digital Composite</source>
        <translation>Digital Composite</translation>
    </message>
    <message>
        <source>Digital Separate</source>
        <translation>Digital Separate</translation>
    </message>
    <message>
        <source>Serrate</source>
        <translation>Serrate</translation>
    </message>
    <message>
        <source>选择描述</source>
        <translation>Descriptor</translation>
    </message>
    <message>
        <source>详细Timing描述</source>
        <translation>Detailed Timing</translation>
    </message>
    <message>
        <source>对应：</source>
        <translation>Matches: </translation>
    </message>
    <message>
        <source>内容描述</source>
        <translation>Detailed Timing Descriptor</translation>
    </message>
    <message>
        <source>选择默认的Timing</source>
        <translation>Timing presets</translation>
    </message>
    <message>
        <source>Descriptor #%1</source>
        <translation>Descriptor #%1</translation>
    </message>
</context>
<context>
    <name>pellam::HdmiForumGroup</name>
    <message>
        <source>HDMI Forum 供应商特定数据</source>
        <translation>HDMI Forum Vendor-Specific Data Block</translation>
    </message>
    <message>
        <source>Enable</source>
        <translation>Enable</translation>
    </message>
    <message>
        <source>HF-SCDB (Ext. Tag 79h)</source>
        <translation>HF-SCDB (Ext. Tag 79h)</translation>
    </message>
    <message>
        <source>长度</source>
        <translation>Length</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>= %1 bytes</source>
        <translation>= %1 bytes</translation>
    </message>
</context>
<context>
    <name>pellam::HdmiVideoPanel</name>
    <message>
        <source>HDMI Video Present</source>
        <translation>HDMI Video Present</translation>
    </message>
    <message>
        <source>Should be 0 ~ 7</source>
        <translation>Should be 0 ~ 7</translation>
    </message>
    <message>
        <source>2 bits filled (00 ~ 11)</source>
        <translation>2 bits (00 ~ 11)</translation>
    </message>
    <message>
        <source>Should be 0 ~ 31</source>
        <translation>Should be 0 ~ 31</translation>
    </message>
    <message>
        <source>3D Individual VIC</source>
        <translation>3D individual VICs</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>pellam::HdmiVsdbGroup</name>
    <message>
        <source>供应商特定数据</source>
        <translation>Vendor-Specific Data Block</translation>
    </message>
    <message>
        <source>Enabled</source>
        <translation>Enabled</translation>
    </message>
    <message>
        <source>物理地址(Hex)</source>
        <translation>Physical Address (hex)</translation>
    </message>
    <message>
        <source>VSDB 拓展</source>
        <translation>VSDB Extension</translation>
    </message>
    <message>
        <source>拓展打开</source>
        <translation>Extended</translation>
    </message>
    <message>
        <source>长度</source>
        <translation>Length</translation>
    </message>
    <message>
        <source>Enable</source>
        <translation>Enable</translation>
    </message>
    <message>
        <source>View</source>
        <translation>View</translation>
    </message>
    <message>
        <source>Support AI</source>
        <translation>Supports_AI</translation>
    </message>
</context>
<context>
    <name>pellam::HdrMetadataGroup</name>
    <message>
        <source>HDR 静态元数据</source>
        <translation>HDR Static Metadata Data Block</translation>
    </message>
    <message>
        <source>Enable</source>
        <translation>Enable</translation>
    </message>
    <message>
        <source>Traditional gamma - SDR</source>
        <translation>Traditional gamma - SDR</translation>
    </message>
    <message>
        <source>Traditional gamma - HDR</source>
        <translation>Traditional gamma - HDR</translation>
    </message>
    <message>
        <source>Static Metadata Type 1</source>
        <translation>Static Metadata Type 1</translation>
    </message>
    <message>
        <source>亮度</source>
        <translation>Luminance</translation>
    </message>
    <message>
        <source>Max Luminance</source>
        <translation>Max Luminance</translation>
    </message>
    <message>
        <source>Max Frame-average</source>
        <translation>Max Frame-average</translation>
    </message>
    <message>
        <source>Min Luminance</source>
        <translation>Min Luminance</translation>
    </message>
</context>
<context>
    <name>pellam::KeyValueList</name>
    <message>
        <source>Key</source>
        <translation>Key</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Value</translation>
    </message>
</context>
<context>
    <name>pellam::TAboutForm</name>
    <message>
        <source>About</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Version 1.4</source>
        <translation>Version 1.4</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>pellam::TForm1</name>
    <message>
        <source>撤销 </source>
        <translation>Undo </translation>
    </message>
    <message>
        <source>重做 </source>
        <translation>Redo </translation>
    </message>
    <message>
        <source>&amp;文件</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>新建</source>
        <translation>New</translation>
    </message>
    <message>
        <source>打开...</source>
        <translation>Open...</translation>
    </message>
    <message>
        <source>最近的文件</source>
        <translation>Recent Files</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>另存为...</source>
        <translation>Save As...</translation>
    </message>
    <message>
        <source>载入显示器 EDID</source>
        <translation>Load Display EDID</translation>
    </message>
    <message>
        <source>保存 log</source>
        <translation>Save Log</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>编辑</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>撤销</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>重做</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>配置</source>
        <translation>Configuration</translation>
    </message>
    <message>
        <source>128 Bytes</source>
        <translation>128 Bytes</translation>
    </message>
    <message>
        <source>256 Bytes</source>
        <translation>256 Bytes</translation>
    </message>
    <message>
        <source>添加扩展块</source>
        <translation>Add Extension Block</translation>
    </message>
    <message>
        <source>删除最后的扩展块</source>
        <translation>Remove Last Extension Block</translation>
    </message>
    <message>
        <source>I2C 设置</source>
        <translation>I2C Settings</translation>
    </message>
    <message>
        <source>帮助</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>发布说明</source>
        <translation>Release Notes</translation>
    </message>
    <message>
        <source>关于</source>
        <translation>About</translation>
    </message>
    <message>
        <source>数据</source>
        <translation>Data</translation>
    </message>
    <message>
        <source>B0/信息</source>
        <translation>B0/Info</translation>
    </message>
    <message>
        <source>B0/Timing详情</source>
        <translation>B0/Descriptors</translation>
    </message>
    <message>
        <source>B1/视频</source>
        <translation>B1/Video</translation>
    </message>
    <message>
        <source>B1/音频</source>
        <translation>B1/Audio</translation>
    </message>
    <message>
        <source>B1/扩展</source>
        <translation>B1/Extended</translation>
    </message>
    <message>
        <source>B1/详细Timing</source>
        <translation>B1/Detailed Timing</translation>
    </message>
    <message>
        <source>验证</source>
        <translation>Analysis</translation>
    </message>
    <message>
        <source>进度</source>
        <translation>Progress</translation>
    </message>
    <message>
        <source>正在验证...</source>
        <translation>Verifying...</translation>
    </message>
    <message>
        <source>写EDID</source>
        <translation>Write EDID</translation>
    </message>
    <message>
        <source>读EDID</source>
        <translation>Read EDID</translation>
    </message>
    <message>
        <source>载入对比</source>
        <translation>Compare File</translation>
    </message>
    <message>
        <source>载入</source>
        <translation>Load</translation>
    </message>
    <message>
        <source>自动校验</source>
        <translation>Auto checksum</translation>
    </message>
    <message>
        <source>保存修改?</source>
        <translation>Save changes?</translation>
    </message>
    <message>
        <source>编辑 </source>
        <translation>Edit </translation>
    </message>
    <message>
        <source>大小: %1 字节 (%2 块)</source>
        <translation>Size: %1 bytes (%2 blocks)</translation>
    </message>
    <message>
        <source>The image has the most blocks an EDID can have.</source>
        <translation>The image has the most blocks an EDID can have.</translation>
    </message>
    <message>
        <source>There is no block after block 1 to remove; &quot;128 Bytes&quot; hides block 1.</source>
        <translation>There is no block after block 1 to remove; &quot;128 Bytes&quot; hides block 1.</translation>
    </message>
    <message>
        <source>Remove block %1 (%2 extension) from the image?</source>
        <translation>Remove block %1 (%2 extension) from the image?</translation>
    </message>
    <message>
        <source>No display with an EDID was found in %1/class/drm.</source>
        <translation>No display with an EDID was found in %1/class/drm.</translation>
    </message>
    <message>
        <source>Display:</source>
        <translation>Display:</translation>
    </message>
</context>
<context>
    <name>pellam::TForm3</name>
    <message>
        <source>[1.4 2026-12-07]
1. First release for Linux, built with Qt 6.
2. EDID files: raw binary (.bin, .dat) and hex text (.txt) are read and written, line-form hex text (.ddc) is read.
3. Files are saved through a temporary file, so a failed save never destroys the old file.
4. Block 1 keeps every data block the editor does not show (HDR, HDMI 2.x, FreeSync and others) and every bit it has no control for; it is written back only after an edit.
5. Hex grid with structure colours and hints; 128/256-byte and HDMI/DP modes.
6. Compliance analyser: the sink EDID items of the HDMI compliance test with the sink&apos;s capability declaration; the report can be saved as a log.
7. pellam-cli converts, rebuilds and analyses EDID files without a window.
</source>
        <translation>[1.4 2026-12-07]
1. First release for Linux, built with Qt 6.
2. EDID files: raw binary (.bin, .dat) and hex text (.txt) are read and written, line-form hex text (.ddc) is read.
3. Files are saved through a temporary file, so a failed save never destroys the old file.
4. Block 1 keeps every data block the editor does not show (HDR, HDMI 2.x, FreeSync and others) and every bit it has no control for; it is written back only after an edit.
5. Hex grid with structure colours and hints; 128/256-byte and HDMI/DP modes.
6. Compliance analyser: the sink EDID items of the HDMI compliance test with the sink&apos;s capability declaration; the report can be saved as a log.
7. pellam-cli converts, rebuilds and analyses EDID files without a window.
</translation>
    </message>
    <message>
        <source>发行公告</source>
        <translation>Release Notes</translation>
    </message>
</context>
<context>
    <name>pellam::TfrmCDF</name>
    <message>
        <source>能力声明表</source>
        <translation>Capability Declaration</translation>
    </message>
    <message>
        <source>HDMI output count</source>
        <translation>HDMI output count</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>pellam::TfrmI2C</name>
    <message>
        <source>I2C 配置</source>
        <translation>I2C Settings</translation>
    </message>
    <message>
        <source>Port Type:</source>
        <translation>Port type:</translation>
    </message>
    <message>
        <source>Base Addr:  0x</source>
        <translation>Base addr.:  0x</translation>
    </message>
    <message>
        <source>Delay</source>
        <translation>Delay</translation>
    </message>
    <message>
        <source>Fast write</source>
        <translation>Fast write</translation>
    </message>
    <message>
        <source>Write only the 8-byte pages that differ from the sink&apos;s content, each followed by polling the EEPROM, and verify in one read.</source>
        <translation>Write only the 8-byte pages that differ from the sink&apos;s content, each followed by polling the EEPROM, and verify in one read.</translation>
    </message>
    <message>
        <source>The sink&apos;s EEPROM: 24C01/24C21 128 bytes, 24C02 256, 24C04 512, 24C08 1 KiB, 24C16 2 KiB (blocks at A0h, A2h ...), E-DDC up to 32 KiB in segments (segment pointer 60h).</source>
        <translation>The sink&apos;s EEPROM: 24C01/24C21 128 bytes, 24C02 256, 24C04 512, 24C08 1 KiB, 24C16 2 KiB (blocks at A0h, A2h ...), E-DDC up to 32 KiB in segments (segment pointer 60h).</translation>
    </message>
    <message>
        <source>USB serial:</source>
        <translation>USB serial:</translation>
    </message>
    <message>
        <source>the only adapter</source>
        <translation>the only adapter</translation>
    </message>
    <message>
        <source>确认</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Rate %1 kbps</source>
        <translation>Rate %1 kbps</translation>
    </message>
    <message>
        <source>Delay  %1 loops</source>
        <translation>Delay  %1 loops</translation>
    </message>
    <message>
        <source>Bus clock set by the graphics driver</source>
        <translation>Bus clock set by the graphics driver</translation>
    </message>
    <message>
        <source>Invalid data! Please Input hex number</source>
        <translation>Invalid data. Enter a hex number.</translation>
    </message>
</context>
<context>
    <name>pellam::TimingsPage</name>
    <message>
        <source>颜色特征</source>
        <translation>Chromaticity</translation>
    </message>
    <message>
        <source>预选 Timing</source>
        <translation>Established Timings</translation>
    </message>
    <message>
        <source>标准Timing</source>
        <translation>Standard Timings</translation>
    </message>
    <message>
        <source>Timing #%1</source>
        <translation>Timing #%1</translation>
    </message>
    <message>
        <source>启用</source>
        <translation>Enable</translation>
    </message>
    <message>
        <source>H. active pixel:</source>
        <translation>H. active pixels:</translation>
    </message>
    <message>
        <source>V. refresh rate :</source>
        <translation>V. refresh rate :</translation>
    </message>
    <message>
        <source>长宽比</source>
        <translation>Aspect Ratio</translation>
    </message>
</context>
<context>
    <name>pellam::TransferControls</name>
    <message>
        <source>Verifying...</source>
        <translation>Verifying...</translation>
    </message>
    <message>
        <source>Fail!</source>
        <translation>Fail!</translation>
    </message>
    <message>
        <source>A write to the sink&apos;s EEPROM is running. Closing stops it after the current byte or page and leaves the EEPROM holding part of the image; the backup of its previous content is named then. Stop the write and close?</source>
        <translation>A write to the sink&apos;s EEPROM is running. Closing stops it after the current byte or page and leaves the EEPROM holding part of the image; the backup of its previous content is named then. Stop the write and close?</translation>
    </message>
    <message>
        <source>A read of the sink&apos;s EEPROM is running. Stop it and close?</source>
        <translation>A read of the sink&apos;s EEPROM is running. Stop it and close?</translation>
    </message>
    <message>
        <source>This computer has no display connector with a DDC bus of its own: the DDC port type cannot be used here. Choose another port type under &quot;配置 &gt; I2C 设置&quot;.</source>
        <translation>This computer has no display connector with a DDC bus of its own: the DDC port type cannot be used here. Choose another port type under &quot;Configuration &gt; I2C Settings&quot;.</translation>
    </message>
    <message>
        <source>The sink&apos;s content before the last write: </source>
        <translation>The sink&apos;s content before the last write: </translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Read DDC</source>
        <translation>Read DDC</translation>
    </message>
    <message>
        <source>
The image was not changed.</source>
        <translation>
The image was not changed.</translation>
    </message>
    <message>
        <source>Write DDC</source>
        <translation>Write DDC</translation>
    </message>
    <message>
        <source>Pass!</source>
        <translation>Pass!</translation>
    </message>
    <message>
        <source>
The grid shows each differing byte as written/read back.</source>
        <translation>
The grid shows each differing byte as written/read back.</translation>
    </message>
    <message>
        <source>Backup: </source>
        <translation>Backup: </translation>
    </message>
</context>
<context>
    <name>pellam::VendorProductPage</name>
    <message>
        <source>not specified</source>
        <translation>not specified</translation>
    </message>
    <message>
        <source>Vender/Product ID</source>
        <translation>Vendor/Product ID</translation>
    </message>
    <message>
        <source>制造商 ID: </source>
        <translation>Vendor ID: </translation>
    </message>
    <message>
        <source>产品代码:</source>
        <translation>Product code:</translation>
    </message>
    <message>
        <source>序列号:</source>
        <translation>Serial no.:</translation>
    </message>
    <message>
        <source>制造周:</source>
        <translation>Week:</translation>
    </message>
    <message>
        <source>制造年:</source>
        <translation>Year:</translation>
    </message>
    <message>
        <source>ID只能填写3个字母</source>
        <translation>The ID is three letters</translation>
    </message>
    <message>
        <source>四位十六进制产品代码</source>
        <translation>Product code, four hex digits</translation>
    </message>
    <message>
        <source>制造周 (1~53, 0: not specified)</source>
        <translation>Week of manufacture (1~53, 0: not specified)</translation>
    </message>
    <message>
        <source>制造年 (2017~2245)</source>
        <translation>Year of manufacture (2017~2245)</translation>
    </message>
    <message>
        <source>EDID 版本.</source>
        <translation>EDID Version</translation>
    </message>
    <message>
        <source>版本首位:</source>
        <translation>Version:</translation>
    </message>
    <message>
        <source>版本末位:</source>
        <translation>Revision:</translation>
    </message>
    <message>
        <source>Not Def.</source>
        <translation>Not Def.</translation>
    </message>
    <message>
        <source>视频输入定义</source>
        <translation>Video Input Definition</translation>
    </message>
    <message>
        <source>模拟信号</source>
        <translation>Analog</translation>
    </message>
    <message>
        <source>数字信号</source>
        <translation>Digital</translation>
    </message>
    <message>
        <source>接口与VESA信号兼容 DFP1.x</source>
        <translation>Interface is VESA DFP 1.x compatible</translation>
    </message>
    <message>
        <source>信号电平</source>
        <translation>Signal Level</translation>
    </message>
    <message>
        <source>Ref White Above balnk, Level of Sync. tip below blank. (%1)</source>
        <translation>White above blank, sync tip below blank (%1)</translation>
    </message>
    <message>
        <source>预期设置</source>
        <translation>Blank-to-black setup</translation>
    </message>
    <message>
        <source>Disp expects a blonk to black setup or pedestal</source>
        <translation>The display expects a blank-to-black setup (pedestal)</translation>
    </message>
    <message>
        <source>同步类型</source>
        <translation>Sync Types</translation>
    </message>
    <message>
        <source>单独同步</source>
        <translation>Separate</translation>
    </message>
    <message>
        <source>复合同步</source>
        <translation>Composite</translation>
    </message>
    <message>
        <source>绿色同步</source>
        <translation>Sync on green</translation>
    </message>
    <message>
        <source>锯齿同步</source>
        <translation>Serrations</translation>
    </message>
    <message>
        <source>颜色位深</source>
        <translation>Color Bit Depth</translation>
    </message>
    <message>
        <source>000: Undefined</source>
        <translation>000: Undefined</translation>
    </message>
    <message>
        <source>001: 6 bits color</source>
        <translation>001: 6 bits per color</translation>
    </message>
    <message>
        <source>010: 8 bits color</source>
        <translation>010: 8 bits per color</translation>
    </message>
    <message>
        <source>011: 10 bits color</source>
        <translation>011: 10 bits per color</translation>
    </message>
    <message>
        <source>100: 12 bits color</source>
        <translation>100: 12 bits per color</translation>
    </message>
    <message>
        <source>101: 14 bits color</source>
        <translation>101: 14 bits per color</translation>
    </message>
    <message>
        <source>110: 16 bits color</source>
        <translation>110: 16 bits per color</translation>
    </message>
    <message>
        <source>111: Reserved(don&apos;t use)</source>
        <translation>111: Reserved (do not use)</translation>
    </message>
    <message>
        <source>数字视频接口</source>
        <translation>Digital Video Interface</translation>
    </message>
    <message>
        <source>0000: Undefined</source>
        <translation>0000: Undefined</translation>
    </message>
    <message>
        <source>xxxx: Reserved(don&apos;t use)</source>
        <translation>xxxx: Reserved (do not use)</translation>
    </message>
    <message>
        <source>图像大小</source>
        <translation>Image Size</translation>
    </message>
    <message>
        <source>最大H尺寸:</source>
        <translation>Max. H size:</translation>
    </message>
    <message>
        <source>最大V尺寸</source>
        <translation>Max. V size</translation>
    </message>
    <message>
        <source>功能支持</source>
        <translation>Feature Support</translation>
    </message>
    <message>
        <source>Standby</source>
        <translation>Standby</translation>
    </message>
    <message>
        <source>显示支持DPMS待机模式</source>
        <translation>The display supports DPMS standby</translation>
    </message>
    <message>
        <source>Suspend</source>
        <translation>Suspend</translation>
    </message>
    <message>
        <source>显示支持DPMS休眠模式</source>
        <translation>The display supports DPMS suspend</translation>
    </message>
    <message>
        <source>主动关闭/超低功耗</source>
        <translation>Active off/low power</translation>
    </message>
    <message>
        <source>默认 GTF</source>
        <translation>Default GTF</translation>
    </message>
    <message>
        <source>首选定时模式</source>
        <translation>Preferred timing mode</translation>
    </message>
    <message>
        <source>显示类型</source>
        <translation>Display Type</translation>
    </message>
    <message>
        <source>Model Year</source>
        <translation>Model Year</translation>
    </message>
    <message>
        <source>Mfg. Year</source>
        <translation>Mfg. Year</translation>
    </message>
</context>
<context>
    <name>pellam::VideoFormatsGroup</name>
    <message>
        <source>DTV 选项</source>
        <translation>DTV Support</translation>
    </message>
    <message>
        <source>Basic Audio</source>
        <translation>Basic Audio</translation>
    </message>
    <message>
        <source>CEA Ext. 版本</source>
        <translation>CTA Ext. Revision</translation>
    </message>
    <message>
        <source>非本地DTD</source>
        <translation>Native DTDs</translation>
    </message>
    <message>
        <source>视频详细描述</source>
        <translation>Short Video Descriptors</translation>
    </message>
    <message>
        <source>选取的视频格式</source>
        <translation>Supported Video Formats</translation>
    </message>
    <message>
        <source>默认的视频格式</source>
        <translation>Available Video Formats</translation>
    </message>
    <message>
        <source>(Naitve)</source>
        <translation>(Native)</translation>
    </message>
</context>
<context>
    <name>pellam::Ycbcr420Group</name>
    <message>
        <source>YCbCr 4:2:0 视频数据</source>
        <translation>YCbCr 4:2:0 Video Data</translation>
    </message>
    <message>
        <source>4:2:0 能力映射 (Capability Map)</source>
        <translation>YCbCr 4:2:0 Capability Map</translation>
    </message>
    <message>
        <source>所有 SVD (no bitmap)</source>
        <translation>All SVDs (no bitmap)</translation>
    </message>
    <message>
        <source>视频详细描述 (SVD)</source>
        <translation>Short Video Descriptors (SVD)</translation>
    </message>
    <message>
        <source>仅 4:2:0 的视频格式 (4:2:0 VDB)</source>
        <translation>4:2:0-only Video Formats (4:2:0 VDB)</translation>
    </message>
    <message>
        <source>添加</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Remove</translation>
    </message>
</context>
</TS>
